#pragma once

// The string conversions live beside the other Qt helpers the view shares with this folder.
#include "qt/qt_strings.h"
