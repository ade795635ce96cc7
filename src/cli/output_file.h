// SPDX-License-Identifier: MIT
#pragma once
// A file the command-line tool writes its results to, as a stream that remembers why a write
// failed (the error number of the system), so that the failure can be told in plain words.
// A regular file is written whole or not at all: the bytes go to a temporary file beside it
// (tables/temp_files.h), which replaces it only when everything was written. A
// failed or killed run so leaves the earlier file as it was, never half a table of results.
// Anything else (a terminal, a pipe, a device) is written directly.

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace bx::cli {

// Standard output (or another open descriptor) as a buffered stream that keeps the error number
// of its first failed write, so that a failure (a full disk, a closed pipe) can be told in plain
// words: errorOf() finds it behind a stream.
class DescriptorOutput : public std::streambuf {
  public:
    explicit DescriptorOutput(int fd);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    // errno of the first failed write; 0 when none failed.
    int error() const { return error_; }
    // The same for the buffer behind `stream`; 0 for a stream of another kind.
    static int errorOf(const std::ostream& stream);

    // Flushes `out` (the results on standard output); when that or an earlier write failed,
    // the line that says so with the cause, else the empty text.
    static std::string failureOf(std::ostream& out);

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    bool writeOut();

    int fd_;
    int error_ = 0;
    char buffer_[1 << 16];
};

class OutputFile {
  public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts writing `path` (a symbolic link: the file it names). False when it cannot;
    // failureCause() says why. With `mustBeNew` the file is put in place at close() only when
    // no file is there by then, so that of several runs making one new file exactly one
    // succeeds (existed() tells the others).
    bool open(const std::string& path, bool mustBeNew = false);
    // True when close() failed because the file had been made meanwhile.
    bool existed() const { return existed_; }

    // The stream to write to; it goes bad at the first failed write.
    std::ostream& stream() { return stream_; }

    // Writes what is buffered, closes the file and puts it in place. False when a write, the
    // close or the replacing failed; the earlier file is then as it was.
    bool close();

    // The cause of the first failure in plain words, with its error number; empty when none.
    std::string failureCause() const;

  private:
    class Buffer : public std::streambuf {
      public:
        int fd = -1;
        int error = 0;  // errno of the first failed write

      protected:
        int_type overflow(int_type c) override;
        int sync() override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;

      private:
        bool writeAll(const char* data, std::size_t size);
    };

    std::string path_;
    std::string target_;  // the file replaced at close(), symbolic links followed
    std::string temp_;    // empty when writing `path_` directly
    bool mustBeNew_ = false;
    bool existed_ = false;
    Buffer buffer_;
    std::ostream stream_;
};

// Writes `bytes` as the whole of `path` through an OutputFile; false after saying why on `err`
// ("benthix-cli: cannot write PATH: CAUSE").
bool writeWholeFile(const std::string& path, std::string_view bytes, std::ostream& err);

}  // namespace bx::cli
