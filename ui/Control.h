#pragma once

namespace tavisk::ui {

class Control {
public:
    virtual ~Control() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

}  // namespace tavisk::ui
