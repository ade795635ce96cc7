#pragma once
// A file the command-line tool writes its results to, as a stream that remembers why a write
// failed (the error number of the system), so that the failure can be told in plain words.

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

    // Creates or empties `path`. False when it cannot; failureCause() says why.
    bool open(const std::string& path);

    // The stream to write to; it goes bad at the first failed write.
    std::ostream& stream() { return stream_; }

    // Writes what is buffered and closes the file. False when a write or the close failed.
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
    Buffer buffer_;
    std::ostream stream_;
};

}  // namespace bx::cli
