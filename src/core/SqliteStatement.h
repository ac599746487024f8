#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace lexorra {

// One prepared statement, finalised when it goes out of scope. Bound texts are copied, so
// nothing bound has to outlive the statement.
//
//   SqliteStatement(db, "DELETE FROM Run WHERE id = ?1").bind(1, id).run();
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql) { m_code = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~SqliteStatement() { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The statement was prepared (and not stepped since).
    bool ok() const { return m_code == SQLITE_OK; }
    int code() const { return m_code; }
    SqliteStatement& bind(int i, std::string_view s) {
        sqlite3_bind_text(m_stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    SqliteStatement& bind(int i, double d) {
        sqlite3_bind_double(m_stmt, i, d);
        return *this;
    }
    SqliteStatement& bind(int i, std::int64_t v) {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    int step() { return m_code = sqlite3_step(m_stmt); }
    bool run() { return step() == SQLITE_DONE; }
    bool next() { return step() == SQLITE_ROW; }
    std::string text(int i) const {
        const auto* p = sqlite3_column_text(m_stmt, i);
        return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(m_stmt, i)))
                 : std::string();
    }
    double real(int i) const { return sqlite3_column_double(m_stmt, i); }
    std::int64_t integer(int i) const { return sqlite3_column_int64(m_stmt, i); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_code = SQLITE_OK;
};

} // namespace lexorra
