// The tool's standard streams and input files: bytes exactly as written and read, and
// every failure to read or write known, with the system's reason, so that no command
// takes a read error for the end of its input or loses output without a word.
#ifndef TESSERA_TOOL_STANDARD_STREAMS_H
#define TESSERA_TOOL_STANDARD_STREAMS_H

#include <cstdio>
#include <string>

namespace tessera::tool {

/// Switches stdin, stdout and stderr to binary mode where the C runtime would otherwise
/// translate line ends (Windows), and sends std::cout through a writer that keeps the
/// first write error. Called once, first thing in main.
void SetUpStandardStreams();

/// Whether a write to standard output has failed; commands stop early when it has.
bool OutputFailed();

/// Flushes and closes standard output. Returns status when everything went out;
/// otherwise reports "tessera: <path>: cannot write standard output: <reason>" and
/// returns at least 1. A closed pipe (the reader went away) ends quietly, without the
/// message; where SIGPIPE is not ignored the tool never gets here, the signal ends it.
int FinishOutput(const std::string& path, int status);

/// Standard input or a named file, read as bytes, with a read error told apart from
/// the end of the input.
class InputFile {
public:
    /// Standard input.
    InputFile();
    /// The file at path (UTF-8), opened for reading; Error() says why if it could not be.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    /// The next line without its line end ("\n" or "\r\n"; the last line may lack it).
    /// False at the end of the input and on an error, which drops a partly read line.
    bool ReadLine(std::string& line);
    /// Everything up to the end of the input; false on an error.
    bool ReadAll(std::string& text);
    /// "standard input", or the path quoted for a message.
    std::string Name() const;
    /// The system's reason for the failure to open or read, "" while there is none.
    const std::string& Error() const { return m_error; }

private:
    /// Records the reason when the stream has an error; true if it has.
    bool NoteError();

    std::FILE* m_file;
    std::string m_path;  // "" for standard input
    std::string m_error;
};

}  // namespace tessera::tool

#endif
