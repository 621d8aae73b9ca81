// The byte buffer that scripts fill with ESCREVEBYTE and LEBYTE, and the one
// binary file that GRAVABYTES writes it to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

class ByteFile {
 public:
  // The most the buffer holds: 2^27 bytes.
  static constexpr size_t kCapacity = 134217728;

  ByteFile() = default;
  ~ByteFile() { CloseFile(); }
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;

  // The buffer grows as bytes arrive instead of taking its whole capacity at
  // start. False, and nothing appended, when the bytes would not fit.
  bool Append(std::string_view bytes);
  size_t count() const { return buffer_.size(); }
  size_t room() const { return kCapacity - buffer_.size(); }
  std::string_view bytes() const { return {buffer_.data(), buffer_.size()}; }
  // Memory the buffer holds now, never more than its capacity.
  size_t memory() const { return buffer_.capacity(); }
  // Empties the buffer and gives its memory back.
  void Clear();

  // False when a binary file is already open or the name is taken.
  bool CreateFile(const std::string& host_path);
  bool file_open() const { return fd_ >= 0; }
  // Writes the buffered bytes to the file and empties the buffer; false when
  // no file is open or the write failed.
  bool WriteOut();
  // False when no file was open.
  bool CloseFile();

 private:
  std::vector<char> buffer_;
  int fd_ = -1;
};

}  // namespace morventa
