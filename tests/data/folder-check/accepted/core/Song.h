#pragma once
#include "core/Text.h"
#include <QString>
#include <vector>
