// The item groups: the groups window Form49 and the group part of the
// product compare window Form56. Each adds a qqq row and the group's own
// item table, with its starting rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"

namespace mk {

class RecordEditing;

// Why a new group may not take this name ("" when it may): empty or ".",
// not a valid table name, or already a table or a listed group (letter case
// ignored, as the database matches table names).
std::string groupNameProblem(Application& app, const std::string& name);

class GroupsWindow : public Form {
public:
    GroupsWindow(Application& a, const char* name, int carriers);
    ~GroupsWindow() override;
    void Form_Load() override;

    Adodc* Adodc1;  // qqq
    Adodc* Adodc2;  // the new group's table
    Label* Label1;
    TextBox* Text1;  // the group name, bound to q
    TextBox* Text2;  // copy of the name a save took
    std::vector<TextBox*> Text3;  // carriers of the starting rows
    CommandButton* cmdaction[3];

protected:
    // Writes the new table's starting rows through Adodc2 and Text3.
    virtual void fillStartingRows() = 0;

private:
    void AddGroup();
    void CreateTable(const std::string& tableName);

    std::unique_ptr<RecordEditing> editing_;
};

class Form49 : public GroupsWindow {
public:
    static constexpr const char* kName = "Form49";
    explicit Form49(Application& a);

protected:
    void fillStartingRows() override;
};

// The group adding of Form49 and the product list compare tool.
class Form56 : public GroupsWindow {
public:
    static constexpr const char* kName = "Form56";
    explicit Form56(Application& a);
    void Form_Load() override;

    Adodc* Adodc5;  // n1, the outside list
    Adodc* Adodc6;  // n2, the store's list
    Label* Label2;
    Label* Label3;
    TextBox* Text4;  // n1.DESC
    TextBox* Text5;  // n2.DESC
    CommandButton* Command1;  // compare

protected:
    void fillStartingRows() override;
};

}  // namespace mk
