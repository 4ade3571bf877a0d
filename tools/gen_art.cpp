// Writes the program's artwork into a folder: splash.bmp, splash2.bmp and pinnafex.ico.
// Usage: pinnafex_gen_art <folder>   (the repository's res/ folder to refresh the committed art)
#include <cstdio>
#include <string>
#include <vector>

#include "tools/splash_art.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  struct Output {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Output outputs[] = {
      {"splash.bmp", pinnafex::SplashBitmapFile(pinnafex::SplashArt::Main)},
      {"splash2.bmp", pinnafex::SplashBitmapFile(pinnafex::SplashArt::Variant)},
      {"pinnafex.ico", pinnafex::IconFile()},
  };
  for (const Output& output : outputs) {
    if (!WriteFile(folder + output.name, output.bytes)) {
      std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), output.name);
      return 1;
    }
  }
  return 0;
}
