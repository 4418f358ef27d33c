// A fresh temporary folder per test, and whole-file helpers for looking at what was written.
#ifndef ORVANE_TESTS_COMPAT_TEMP_FOLDER_H
#define ORVANE_TESTS_COMPAT_TEMP_FOLDER_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-compat-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(*this / name, std::ios::binary);
    out << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(*this / name); }
  size_t entryCount() const {
    size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(path_); it != std::filesystem::directory_iterator(); ++it) ++count;
    return count;
  }

 private:
  std::string path_;
};

#endif  // ORVANE_TESTS_COMPAT_TEMP_FOLDER_H
