#pragma once
// A tint flag for views that can be shown tinted; changing it redraws the view.
namespace hm::gui {

class CView;

class nTintable {
public:
    explicit nTintable(CView* owner) : owner_(owner) {}
    virtual ~nTintable() = default;
    virtual void setTint(bool tint);
    virtual bool getTint() const { return tint_ != 0; }
    virtual void setTintExtra(unsigned char v) { extra_ = v; }
    unsigned char getTintExtra() const { return extra_; }

private:
    CView* owner_;
    unsigned char tint_ = 0;
    unsigned char extra_ = 0;
};

}  // namespace hm::gui
