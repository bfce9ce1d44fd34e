#include "params/app_dirs.h"

char startDir[kStartDirChars] = "";
char myDocumentsDir[kStartDirChars] = "";
