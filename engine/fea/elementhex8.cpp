#include "elementhex8.h"

CElementHex8::~CElementHex8() = default;
