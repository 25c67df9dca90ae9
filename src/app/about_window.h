// The about window.
#pragma once

#include "platform/form.h"

namespace mk {

class Form7 : public Form {
public:
    static constexpr const char* kName = "Form7";
    explicit Form7(Application& a);
    void Form_Load() override;

    Label* Label1;
    CommandButton* Command1;
};

}  // namespace mk
