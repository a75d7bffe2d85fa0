// withenv: runs a program with environment variables set, for tests of the Windows build run
// under Wine, which hands a Windows program no QT_ variable of the Linux environment.
//
//   withenv.exe NAME=VALUE... -- PROGRAM [ARGUMENT...]
//
// Exits with the program's exit code; 127 when it cannot be started.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// One argument as CommandLineToArgvW reads it back: quoted when it holds blanks or quotes, with
// the backslashes before a quote doubled.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(character == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += character;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    int at = 1;
    for (; at < count && std::wstring(arguments[at]) != L"--"; ++at) {
        const std::wstring setting = arguments[at];
        const size_t equals = setting.find(L'=');
        if (equals != std::wstring::npos)
            SetEnvironmentVariableW(setting.substr(0, equals).c_str(),
                                    setting.substr(equals + 1).c_str());
    }
    std::wstring command;
    for (++at; at < count; ++at)
        command += (command.empty() ? L"" : L" ") + quoted(arguments[at]);
    if (command.empty()) {
        std::fprintf(stderr, "usage: withenv NAME=VALUE... -- PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "withenv: cannot start the program (error %lu)\n", GetLastError());
        return 127;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(process.hProcess, &status);
    return int(status);
}
