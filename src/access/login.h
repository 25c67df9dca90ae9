// The access login windows: a user id and a password checked against
// Admin together with one right of the window; a good login performs the
// window's action and closes the window.
#pragma once

#include <string>

#include "platform/form.h"

namespace mk {

// Every login window: the user id and password boxes with their labels,
// the login and give-up buttons, and a hidden data control on Admin.
class LoginForm : public Form {
public:
    Adodc* Adodc1;
    Label* Label3;
    Label* Label4;
    TextBox* Text1[2];
    CommandButton* Command1;
    CommandButton* Command2;

protected:
    LoginForm(Application& a, std::string name, std::string windowCaption);
    // Command1. A refused login leaves both boxes as typed, to be
    // corrected.
    virtual void logIn() = 0;
    // The password was accepted: whatever comes of the rest of the press,
    // the box is emptied when it ends (the user id may stay), so the next
    // person's press is never made as this user.
    void passwordAccepted() { passwordAccepted_ = true; }

private:
    void pressLogIn();
    void forgetAcceptedPassword();

    bool passwordAccepted_ = false;
};

class AccessLogin : public LoginForm {
public:
    // The caption at load is captionPrefix followed by the company title
    // line, or captionPrefix alone when titled is false.
    AccessLogin(Application& a, std::string name, std::string right, std::string deniedText,
                std::string captionPrefix = " دخول ", bool emptyOnLoad = true,
                bool titled = true);
    void Form_Load() override;

    const std::string& right() const { return right_; }

protected:
    // The four checks in their fixed order; the first failure alone is
    // reported. True when the user id, right and password all pass.
    bool checkLogin();
    // What a good login does, before the window unloads itself.
    virtual void granted() {}
    // Command1 and Command2; the closing login replaces both.
    void logIn() override;
    virtual void giveUp();

private:
    std::string right_;
    std::string deniedText_;
    std::string captionPrefix_;
    bool emptyOnLoad_;
    bool titled_;
};

// A login whose action is to show the window it guards.
class WindowLogin : public AccessLogin {
public:
    WindowLogin(Application& a, std::string name, std::string right, std::string deniedText,
                std::string target, bool emptyOnLoad = true);

protected:
    void granted() override;

private:
    std::string target_;
};

// Store transactions: uncovers the main window's store functions.
class Form20 : public AccessLogin {
public:
    static constexpr const char* kName = "Form20";
    explicit Form20(Application& a);

protected:
    void granted() override;
};

// The logins whose action is to show the window they guard, as data.
void registerWindowLogins(Application& app);

}  // namespace mk
