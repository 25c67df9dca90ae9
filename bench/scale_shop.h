// The shops the scale benchmark runs on, stored as the windows store them:
// items in ten group tables (each starting with the "." row the groups
// window writes), DAILY_TRADE with one row per item row after the start of
// day, invoice rows with all 32 slots filled as the windows save them
// ("." and 0 in the empty ones), one BOX row per posting, vouchers,
// customers, suppliers and a clerk holding every right. A shop is made
// once per shape into a cache folder (SQL in one transaction) and copied
// for each run.
#pragma once

#include <filesystem>
#include <string>

namespace bench {

constexpr int kGroups = 10;
constexpr long kVouchers = 100000;  // of each kind
constexpr int kCustomers = 1000;
constexpr int kSuppliers = 200;
constexpr const char* kClerk = "clerk";
constexpr const char* kClerkPassword = "12345";

struct ShopShape {
    long items = 0;         // over all groups
    long invoiceRows = 0;   // in each of the four invoice tables
    std::string label() const;
};

std::string groupName(int g);
std::string itemName(int g, long i);  // i counts from 0; the "." row comes first
std::string customerName(int i);
std::string supplierName(int i);
// The invoice number of the n-th row (from 0) of an invoice table.
long invoiceNumber(long n);

// The cached shop's data root (made when missing); its file is brought up
// to date by the program as every start does, so runs start warm.
std::filesystem::path cachedShop(const ShopShape& shape);

// A fresh copy of the shop's data root to run on, synced to the disk.
std::filesystem::path copyShop(const std::filesystem::path& cached, const std::string& tag);

}  // namespace bench
