#pragma once

#include <QString>
#include <QDir>
#include <QTemporaryDir>

namespace norvel::db {

// For tests: a fresh "base.fdb" made from the creation script (forced writes
// off, as nothing in it needs to outlive the test) in a temporary
// directory of its own, which TdmNorvelCheque::DataModuleCreate() then opens
// (the constructor sets the module's test directory hook; the destructor
// clears it and removes the directory). Create one per test group, before the
// data module:
//
//   norvel::db::TestDatabase base;          // throws DbError on failure
//   TdmNorvelCheque dm;
//   dm.DataModuleCreate();
//
// Link the test with norvel_data. The test executable must live in
// <build>/bin (the default output directory) beside the program's Firebird
// root bin/firebird/, which the embedded engine is started from.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString directory() const;  // with trailing separator
    QString path() const;       // directory() + "base.fdb"

private:
    QTemporaryDir dir_;
};

} // namespace norvel::db
