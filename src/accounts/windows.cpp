#include "accounts/windows.h"

#include "accounts/cashbox_window.h"
#include "accounts/expense_books.h"
#include "accounts/voucher_view.h"
#include "accounts/vouchers.h"
#include "platform/application.h"

namespace mk {

void registerAccountsWindows(Application& app) {
    app.registerForm<Form34>();
    app.registerForm<Form35>();
    app.registerForm<Form41>();
    app.registerForm<Form39>();
    app.registerForm<Form18>();
    app.registerForm<Form11>();
    app.registerForm<Form19>();
}

}  // namespace mk
