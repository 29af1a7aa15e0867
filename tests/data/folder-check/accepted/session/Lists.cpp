#include "session/Lists.h"
#include "core/Song.h"
#include "tags/Reader.h"
#include "shell/FileManager.h"
#include <gst/gst.h>
