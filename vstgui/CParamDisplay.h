#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CControl.h"

namespace VSTGUI {

// Style bits of CParamDisplay; other bits are kept without effect.
enum CParamDisplayStyle : int32_t {
    kShadowText = 0x4,
    k3DIn = 0x80,
    k3DOut = 0x100,
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kNoFrame = 0x4000,
};

// A control that shows its value as text.
class CParamDisplay : public CControl {
  public:
    using StringConvert = void (*)(float value, char* text);
    using StringConvert2 = void (*)(float value, char* text, void* userData);
    using String2FloatConvert = void (*)(char* text, float& value);

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    // The value as text: from a converter when set, else with two decimals.
    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

    virtual void setFont(int32_t fontId);
    virtual void setFontColor(CColor color);
    virtual void setBackColor(CColor color);
    virtual void setFrameColor(CColor color);
    virtual void setShadowColor(CColor color);
    virtual void setHoriAlign(int32_t align);
    virtual void setStringConvert(StringConvert2 convert, void* userData);
    virtual void setStringConvert(StringConvert convert);
    virtual void setString2FloatConvert(String2FloatConvert convert);
    virtual void setStyle(int32_t style);
    virtual void setTxtFace(int32_t face);
    virtual void setTextTransparency(bool value);

    int32_t getStyle() const { return style; }
    int32_t getFont() const { return fontID; }
    // The text draw would show for the current value (at most 255 characters).
    void getText(char* text) const;

  protected:
    // Draws text with the background, frame and style of the display.
    void drawText(CDrawContext* context, const char* text);

    StringConvert stringConvert = nullptr;
    StringConvert2 stringConvert2 = nullptr;
    String2FloatConvert string2FloatConvert = nullptr;
    void* userData = nullptr;
    int32_t horiTxtAlign = 1; // kCenterText
    int32_t style = 0;
    int32_t fontID = 3; // kNormalFont
    int32_t txtFace = 0;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    bool textTransparencyEnabled = true;
};

} // namespace VSTGUI
