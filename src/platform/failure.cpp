#include "platform/failure.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "platform/database.h"

namespace mk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotDone = "لم تتم العملية، ولم يحفظ شيء منها";
constexpr const char* kLogged = "وتفاصيل الخطأ مسجلة فى سجل البرنامج makhzan.log";
// The log keeps about this much; the older half goes to makhzan.log.1.
constexpr std::uintmax_t kLogLimit = 4u << 20;

// Why, and what the user can do, by what the failure's number means.
const char* reasonOf(long number) {
    switch (number) {
        case err::DiskFull:
            return "لا توجد مساحة كافية على القرص. أفرغ مساحة على القرص ثم أعد المحاولة";
        case err::DuplicateKey:
            return "قيمة مكررة فى حقل لا يقبل التكرار. غير القيمة ثم أعد المحاولة";
        case err::FieldTooSmall:
            return "نص أطول مما يتسع له مكانه فى قاعدة البيانات. اختصر النص ثم أعد المحاولة";
        case err::TypeMismatch:
        case err::Overflow:
        case err::InvalidNull:
        case err::InvalidEntry:
            return "قيمة لا تصلح لمكانها (رقم أو تاريخ غير صحيح أو أكبر من الحد المسموح به). "
                   "صحح القيمة ثم أعد المحاولة";
        case err::NoCurrentRecord:
        case err::RowDeleted:
        case err::RowChanged:
            return "السجل المطلوب تغير أو حذف من نافذة أخرى. أغلق النافذة وافتحها ثم أعد "
                   "المحاولة";
        case err::TableNotFound:
        case err::FieldNotFound:
            return "ملف قاعدة البيانات ينقصه جدول أو حقل. استرجع آخر نسخة إحتياطية سليمة";
        case err::FileNotFound:
        case err::PathNotFound:
        case err::PermissionDenied:
        case err::DeviceUnavailable:
        case err::BadFileName:
            return "تعذر الوصول إلى الملف أو القرص المطلوب. تأكد من وجوده ومن إمكان الكتابة "
                   "فيه ثم أعد المحاولة";
        default:
            return "أعد المحاولة، فإن تكرر ذلك فأغلق البرنامج وافتحه من جديد";
    }
}

std::string now() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

std::string failureMessage(const std::exception& e) {
    const auto* r = dynamic_cast<const RuntimeError*>(&e);
    if (r && r->isTold()) return r->description();
    if (r && r->number() == err::DiskFull) return kDiskFullMessage;
    return std::string(kNotDone) + ". " + reasonOf(r ? r->number() : 0) + "\r\n" + kLogged;
}

std::string failureDetail(const std::exception& e) {
    const auto* r = dynamic_cast<const RuntimeError*>(&e);
    if (!r) return std::string("failure: ") + e.what();
    std::string out = "error " + std::to_string(r->number()) + ": " + r->description();
    if (!r->detail().empty()) out += " [" + r->detail() + "]";
    return out;
}

fs::path logFile(const fs::path& root) { return root / "makhzan.log"; }

void writeLog(const fs::path& root, const std::string& line) {
    const std::string entry = now() + "  " + line + "\n";
    std::fputs(("makhzan: " + line + "\n").c_str(), stderr);
    std::error_code ec;
    const fs::path file = logFile(root);
    if (fs::file_size(file, ec) > kLogLimit && !ec) {
        fs::path old = file;
        old += ".1";
        fs::rename(file, old, ec);
    }
    std::ofstream out(file, std::ios::app | std::ios::binary);
    out << entry;
}

}  // namespace mk
