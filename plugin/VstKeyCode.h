// The key record of an edit-key request, shared by the host boundary, the editor and the views.
#pragma once

#include <cstdint>

struct VstKeyCode {
    int32_t character;
    unsigned char virt;
    unsigned char modifier;
};
