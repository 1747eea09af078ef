// A file of the codec that reaches up into the items layer.
#include "items/WaveInfo.h"
