#include "CAppInterface.h"

CAppInterface::CAppInterface(void*) {}

CAppInterface::~CAppInterface() {}
