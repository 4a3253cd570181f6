// The floor for any file-to-file expander: a plain copy of the expanded bytes
// through one 64 KiB buffer.
//   plain_copy IN OUT
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plain_copy IN OUT\n");
    return 2;
  }
  const int in = open(argv[1], O_RDONLY);
  const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) return 1;
  static char block[64 * 1024];
  ssize_t n = 0;
  while ((n = read(in, block, sizeof block)) > 0) {
    if (write(out, block, static_cast<size_t>(n)) != n) return 1;
  }
  return n == 0 && close(out) == 0 ? 0 : 1;
}
