// layer-check expects: line 4, QtWidgets
#pragma once
#include <QString>
#include <QtWidgets>
