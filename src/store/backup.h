// The restore window Form47 and the exit backup window Form48, which copies
// the database file into drive D and then offers the closing of the day.
#pragma once

#include <string>

#include "platform/form.h"

namespace mk {

class Application;
void registerBackupWindows(Application& app);

class Form47 : public Form {
public:
    static constexpr const char* kName = "Form47";
    explicit Form47(Application& a);

    Frame* Frame2;
    DriveListBox* Drive2;
    DirListBox* Dir2;
    FileListBox* File1;
    Label* Label1;
    CommandButton* Command2;

private:
    void driveChanged();
    void restore();

    std::string lastGoodDrive_;
};

class Form48 : public Form {
public:
    static constexpr const char* kName = "Form48";
    explicit Form48(Application& a);
    void Form_Paint() override;

    // Copies the database file into the root of drive D, then shows the
    // closing login Form44.
    void backup();

    Label* Label1;
};

}  // namespace mk
