#include "tags/Reader.h"
#include "core/Song.h"
// A word that looks like a folder but is no include: "ui/Tprog.h"
