// A system function looked up in a DLL loaded on first use, so that the
// start does not map what most runs need late or never.
#pragma once

#include <windows.h>

// False, with *function null, when the module or the name is missing.
template <typename Function> bool FindLateCall(HMODULE module, const char* name, Function* function)
{
    *function = module ? (Function)(void*)GetProcAddress(module, name) : NULL;
    return *function != NULL;
}
