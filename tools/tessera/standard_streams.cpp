// Binary, checked standard streams. On Windows the C runtime writes "\n" as "\r\n" and
// reads "\r\n" as "\n" unless a stream is in binary mode, which would alter converted
// text. Output goes through C stdio (which keeps its usual buffering: by line on a
// terminal), and the first error of a write, flush or close is kept with its errno.
// Input is read with getc/fread and ferror, which tell an error from the end of a file.
#include "standard_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <tessera/Transcoder.h>
#endif

#include "invocation.h"

namespace tessera::tool {
namespace {

/// Whether the write that just failed met a pipe whose reader has gone. Where SIGPIPE is
/// ignored that is EPIPE. The Windows runtime says EINVAL, with the system's reason in
/// _doserrno or, for a large write, nowhere; but a write into a pipe fails for no other
/// reason there, so a failed write into a pipe is taken for one whose reader has gone.
bool WriteMetClosedPipe() {
#if defined(_WIN32)
    return errno == EPIPE || GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
#else
    return errno == EPIPE;
#endif
}

/// std::cout's buffer: hands every byte on to stdout and keeps the first failure.
class CheckedOutput : public std::streambuf {
public:
    int Error() const { return m_error; }

    /// Flushes and closes stdout; later writes and flushes (at exit) do nothing.
    void Close() {
        if (m_closed) return;
        Flush();
        m_closed = true;
        if (std::fclose(stdout) != 0) Note();
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (!Usable()) return traits_type::eof();
        if (std::fputc(traits_type::to_char_type(c), stdout) != EOF) return c;
        Note();
        return traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (!Usable()) return 0;
        const std::size_t written = std::fwrite(text, 1, static_cast<std::size_t>(count), stdout);
        if (written != static_cast<std::size_t>(count)) Note();
        return static_cast<std::streamsize>(written);
    }

    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Usable() const { return !m_closed && m_error == 0; }

    bool Flush() {
        if (!Usable()) return m_error == 0;
        if (std::fflush(stdout) != 0) Note();
        return m_error == 0;
    }

    void Note() {
        if (m_error == 0) m_error = WriteMetClosedPipe() ? EPIPE : errno != 0 ? errno : EIO;
    }

    int m_error = 0;
    bool m_closed = false;
};

/// Never destroyed: std::cout is flushed at exit, after the statics of this file are gone.
CheckedOutput& Output() {
    static CheckedOutput* const g_output = new CheckedOutput;
    return *g_output;
}

std::FILE* OpenForReading(const std::string& path) {
#if defined(_WIN32)
    return ::_wfopen(reinterpret_cast<const wchar_t*>(Varn::Transcoder::UTF8ToUTF16(path).c_str()), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

void SetUpStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::cout.rdbuf(&Output());
}

bool OutputFailed() { return Output().Error() != 0; }

int FinishOutput(const std::string& path, int status) {
    Output().Close();
    const int error = Output().Error();
    if (error == 0) return status;
    if (error != EPIPE)
        Fail(kRejected, (path.empty() ? "" : path + ": ") + "cannot write standard output: " + std::strerror(error));
    return std::max(status, static_cast<int>(kRejected));
}

InputFile::InputFile() : m_file(stdin) {}

InputFile::InputFile(const std::string& path) : m_file(OpenForReading(path)), m_path(path) {
    if (m_file == nullptr) m_error = std::strerror(errno);
}

InputFile::~InputFile() {
    if (m_file != nullptr && m_file != stdin) std::fclose(m_file);
}

bool InputFile::ReadLine(std::string& line) {
    line.clear();
    if (m_file == nullptr) return false;
    int c;
    while ((c = std::getc(m_file)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && (NoteError() || line.empty())) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool InputFile::ReadAll(std::string& text) {
    text.clear();
    if (m_file == nullptr) return false;
    char block[1 << 16];
    for (std::size_t count; (count = std::fread(block, 1, sizeof block, m_file)) != 0;) text.append(block, count);
    return !NoteError();
}

std::string InputFile::Name() const { return m_path.empty() ? "standard input" : Quote(m_path); }

bool InputFile::NoteError() {
    if (!std::ferror(m_file)) return false;
    if (m_error.empty()) m_error = std::strerror(errno != 0 ? errno : EIO);
    return true;
}

}  // namespace tessera::tool
