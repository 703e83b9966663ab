#pragma once
// The C library in a locale with a decimal comma while the object lives, as a
// Qt program runs in a German session: an installed one, or de_DE.UTF-8 built
// once per run with localedef into a private LOCPATH.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace zavora::test {

class CommaLocale {
public:
    CommaLocale()
    {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        m_previous = previous ? previous : "C";
        for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8" })
            if (tryLocale(name))
                return;
        if (!privateLocaleDir().empty()) {
            setenv("LOCPATH", privateLocaleDir().c_str(), 1);
            if (tryLocale("de_DE.UTF-8"))
                return;
            unsetenv("LOCPATH");
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, m_previous.c_str());
        unsetenv("LOCPATH");
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return !m_name.empty(); }
    const std::string& name() const { return m_name; }

    static constexpr const char* kSkipMessage
        = "no locale with a decimal comma: none installed and localedef could not build de_DE.UTF-8 "
          "(install the Debian package locales-all)";

private:
    bool tryLocale(const char* name)
    {
        if (!std::setlocale(LC_ALL, name))
            return false;
        const std::lconv* conv = std::localeconv();
        if (conv && conv->decimal_point && std::string(conv->decimal_point) == ",") {
            m_name = name;
            return true;
        }
        std::setlocale(LC_ALL, m_previous.c_str());
        return false;
    }

    // Built once per process, removed at exit.
    static const std::string& privateLocaleDir()
    {
        struct Dir {
            std::string path;
            Dir()
            {
                std::error_code ec;
                std::filesystem::path dir = std::filesystem::temp_directory_path(ec)
                    / ("zavora-locale-" + std::to_string(getpid()));
                if (ec || !std::filesystem::create_directories(dir, ec))
                    return;
                std::string command
                    = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
                if (std::system(command.c_str()) == 0)
                    path = dir.string();
                else
                    std::filesystem::remove_all(dir, ec);
            }
            ~Dir()
            {
                std::error_code ec;
                if (!path.empty())
                    std::filesystem::remove_all(path, ec);
            }
        };
        static Dir dir;
        return dir.path;
    }

    std::string m_previous;
    std::string m_name;
};

} // namespace zavora::test
