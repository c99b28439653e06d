// The editor as the host boundary sees it: a rectangle, open, close, idle, keys and knob mode.
#pragma once

#include "plugin/ERect.h"
#include "plugin/VstKeyCode.h"

#include <cstdint>

class AudioEffect;

class AEffEditor {
  public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* window) {
        systemWindow = window;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& keyCode) {
        (void)keyCode;
        return false;
    }
    virtual bool onKeyUp(VstKeyCode& keyCode) {
        (void)keyCode;
        return false;
    }
    virtual bool onWheel(float distance) {
        (void)distance;
        return false;
    }
    virtual bool setKnobMode(int32_t mode) {
        (void)mode;
        return false;
    }

  protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;
};
