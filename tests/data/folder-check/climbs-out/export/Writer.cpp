// folder-check expects: line 2, climbs out of its folder
#include "../session/Session.h"
