// The functions the effect record points at. Each recovers the plug-in object from the record
// and forwards; none lets an exception reach the host.
#pragma once

#include "plugin/VstInterface.h"

intptr_t vstDispatcherEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt);
void vstProcessEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
void vstProcessReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                              int32_t sampleFrames);
void vstProcessDoubleReplacingEntry(AEffect* effect, double** inputs, double** outputs,
                                    int32_t sampleFrames);
void vstSetParameterEntry(AEffect* effect, int32_t index, float parameter);
float vstGetParameterEntry(AEffect* effect, int32_t index);
