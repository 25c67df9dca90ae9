// The hidden flags window: holds FLAGS open for every launcher and worker.
#pragma once

#include "platform/form.h"

namespace mk {

class Form54 : public Form {
public:
    static constexpr const char* kName = "Form54";
    explicit Form54(Application& app);
    void Form_Load() override;
    // FLAGS as the launchers and workers share it.
    Adodc& flags() { return *Adodc1; }

    Adodc* Adodc1;
    TextBox* Text1;
};

}  // namespace mk
