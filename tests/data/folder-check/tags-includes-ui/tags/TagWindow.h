// folder-check expects: line 5, tags/ may not include ui/
#pragma once

#include <QString>
#include "ui/Tprog.h"
