#include "compilerlibrary.h"

#include <dlfcn.h>
#include <system_error>

namespace kn4 {

CompilerLibrary::~CompilerLibrary()
{
    if (m_handle)
        ::dlclose(m_handle);
}

bool CompilerLibrary::load(const std::filesystem::path &programDir, std::string *error)
{
    const std::filesystem::path file = programDir / kFileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        if (error)
            *error = "the compiler library " + file.string() + " is missing";
        return false;
    }
    void *handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char *why = ::dlerror();
            *error = "cannot load the compiler library " + file.string() + ": " + (why ? why : "unknown error");
        }
        return false;
    }
    void *symbol = ::dlsym(handle, "Compilazione");
    if (!symbol) {
        if (error)
            *error = "the compiler library " + file.string() + " has no function Compilazione";
        ::dlclose(handle);
        return false;
    }
    if (m_handle)
        ::dlclose(m_handle);
    m_handle = handle;
    m_compile = reinterpret_cast<CompileFunction>(symbol);
    return true;
}

} // namespace kn4
