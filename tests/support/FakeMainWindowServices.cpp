#include "FakeMainWindowServices.h"
