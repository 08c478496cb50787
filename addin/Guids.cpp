// The identities declared in the type library, defined once for the linker.
#include <initguid.h>

#include "addin/tavisk2002_h.h"
