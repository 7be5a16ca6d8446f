#pragma once
// A view with a value: tag, value between a minimum and a maximum, a default
// value (restored by the reset modifier or a double click), a wheel increment,
// one listener that hears of every change the user makes, and begin/end-edit
// notifications around gestures (so the host can group automation).
#include "gui/framework/CView.h"

namespace hm::gui {

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int tag = -1,
             CBitmap* background = nullptr);

    virtual void setValue(float val);
    virtual float getValue() const { return value; }
    virtual void setMin(float val) { vmin = val; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    virtual float getMax() const { return vmax; }
    virtual void setDefaultValue(float val) { defaultValue = val; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int val) { tag = val; }
    virtual int getTag() const { return tag; }
    virtual void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }
    // Step per wheel notch, in value units (the editor applies the user's sensitivity here).
    virtual void setWheelInc(float val) { wheelInc = val; }
    virtual float getWheelInc() const { return wheelInc; }
    void setOldValue(float val) { oldValue = val; }
    float getOldValue() const { return oldValue; }

    // Begin/end of a gesture; nested calls are counted so the listener hears one pair.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing_ > 0; }

    // Clamps the value into [min, max] (also for min > max).
    virtual void bounceValue();
    // Value as 0..1 between min and max (0 when they are equal).
    float getValueNormalized() const;
    void setValueNormalized(float v);

    // Reset gesture (reset modifier or double click): sets the default value and
    // tells the listener inside its own begin/end pair. Returns true when it applied.
    virtual bool checkDefaultValue(int buttons);

    // Tells the listener (if any) that the value changed.
    void valueChangedNotify();

    // Continuous controls: moves the value to v (clamped) and tells the listener
    // when it changed; returns whether it did.
    bool changeValue(float v);
    // One wheel movement of `distance` notches (a tenth of a step in fine mode),
    // inside its own gesture. False when the distance is no usable number.
    bool wheelStep(float distance, int buttons);

    bool isDirty() const override;
    void setDirty(bool state = true) override;
    bool isTypeOf(const char* className) const override;

protected:
    ~CControl() override;

    CControlListener* listener;
    int tag;
    float oldValue = 1.f;
    float defaultValue = 0.5f;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float wheelInc = 0.1f;
    int editing_ = 0;
};

}  // namespace hm::gui
