#pragma once
// The small interface other wrappers of the instance rely on: a parameter's default.

namespace hm {

class AuWrappableInterface {
public:
    virtual ~AuWrappableInterface() = default;
    // Any thread. The normalised default; 0.0 for an index outside 0..365.
    virtual float getParameterDefault(int index) = 0;
};

}  // namespace hm
