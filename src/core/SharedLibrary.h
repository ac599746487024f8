#pragma once

namespace lexorra {

// A shared library opened when a feature first needs it rather than at every start of the
// program: libraries that only one action uses (HTTP, ciphers, QR codes) would otherwise
// cost every command-line run their loading and relocation. Opened with RTLD_LOCAL, so
// their symbols never mix with the program's own.
//   static const SharedLibrary library("libexample.so.1");
//   int (*f)(int) = nullptr;
//   if (library.resolve("example_function", f)) f(1);
class SharedLibrary {
public:
    explicit SharedLibrary(const char* soname);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    // Left open: function pointers taken from it may outlive any owner.
    ~SharedLibrary() = default;

    bool isOpen() const { return m_handle != nullptr; }

    // Sets `function` to the named symbol; false (and `function` null) when the library or
    // the symbol is missing.
    template <typename Function> bool resolve(const char* name, Function& function) const {
        function = reinterpret_cast<Function>(symbol(name));
        return function != nullptr;
    }

private:
    void* symbol(const char* name) const;
    void* m_handle;
};

// A table of a library's functions, filled once on first use: `fill(library, table)`
// resolves them and says whether all were found. Null when the library or any function is
// missing. Each call site (each `fill`) keeps its own table.
//   struct Api { int (*f)(int); };
//   const Api* api = loadFunctions<Api>("libexample.so.1", [](const SharedLibrary& l, Api& a) {
//       return l.resolve("example_function", a.f);
//   });
template <typename Table, typename Fill> const Table* loadFunctions(const char* soname, Fill fill) {
    static const Table* const loaded = [&]() -> const Table* {
        static const SharedLibrary library(soname);
        static Table table{};
        return fill(library, table) ? &table : nullptr;
    }();
    return loaded;
}

} // namespace lexorra
