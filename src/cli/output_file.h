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

namespace bx::cli {

class OutputFile {
  public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts writing `path` (a symbolic link: the file it names). False when it cannot;
    // failureCause() says why.
    bool open(const std::string& path);

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
    Buffer buffer_;
    std::ostream stream_;
};

}  // namespace bx::cli
