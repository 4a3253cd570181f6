#include "tools/demo/demo_product.h"

#include <string_view>

namespace vxr::demo {
namespace {

// Sounds are made with integer arithmetic only, so that every build of the
// tool, on any compiler or C library, packs the very same bytes.
constexpr std::uint32_t kSampleRate = 22050;
constexpr std::string_view kSoundComment = "Demo sound of the VXR Setup demo package, not the product's own.";

class Sound {
 public:
  // A sine tone of a whole number of samples per period, so that the periods
  // repeat exactly (as the tones of a sound editor do). One period comes from
  // the "magic circle" recurrence x -= e*y, y += e*x, which needs no floating
  // point; e is 2*pi/period in 16.16.
  void Tone(std::uint32_t hz, std::uint32_t ms, std::int32_t amplitude) {
    const std::uint32_t period = kSampleRate / hz;
    const std::int64_t e = 411775LL / period;
    std::vector<std::int64_t> wave(period);
    std::int64_t x = amplitude;
    std::int64_t y = 0;
    for (auto& v : wave) {
      x -= (e * y) >> 16;
      y += (e * x) >> 16;
      v = x;
    }
    const std::uint32_t count = kSampleRate * ms / 1000;
    for (std::uint32_t i = 0; i < count; ++i)
      Push(wave[i % period] * Envelope(i, count, kSampleRate / 200) / 256);
  }

  // White noise that dies away linearly: clicks and the shutter.
  void Noise(std::uint32_t ms, std::int32_t amplitude) {
    const std::uint32_t count = kSampleRate * ms / 1000;
    for (std::uint32_t i = 0; i < count; ++i) {
      seed_ ^= seed_ << 13;
      seed_ ^= seed_ >> 17;
      seed_ ^= seed_ << 5;
      const std::int64_t white = static_cast<std::int64_t>(seed_ % 65536) - 32768;
      const std::int64_t fade = 256 - static_cast<std::int64_t>(i) * 256 / count;
      Push(white * amplitude / 32768 * fade / 256);
    }
  }

  void Silence(std::uint32_t ms) {
    for (std::uint32_t i = 0; i < kSampleRate * ms / 1000; ++i) Push(0);
  }

  // A PCM WAVE file: 16-bit mono, with a LIST/INFO comment that says it is a demo.
  std::vector<std::uint8_t> Wave() const {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> info;
    Tag(info, "INFO");
    Tag(info, "ICMT");
    const std::uint32_t commentSize = static_cast<std::uint32_t>(kSoundComment.size() + 1);
    Le32(info, commentSize);
    info.insert(info.end(), kSoundComment.begin(), kSoundComment.end());
    info.push_back(0);
    if (commentSize % 2) info.push_back(0);

    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples_.size() * 2);
    Tag(out, "RIFF");
    Le32(out, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + info.size() + 8 + dataSize));
    Tag(out, "WAVE");
    Tag(out, "fmt ");
    Le32(out, 16);
    Le16(out, 1);  // PCM
    Le16(out, 1);  // mono
    Le32(out, kSampleRate);
    Le32(out, kSampleRate * 2);
    Le16(out, 2);
    Le16(out, 16);
    Tag(out, "LIST");
    Le32(out, static_cast<std::uint32_t>(info.size()));
    out.insert(out.end(), info.begin(), info.end());
    Tag(out, "data");
    Le32(out, dataSize);
    for (const std::int16_t s : samples_) Le16(out, static_cast<std::uint16_t>(s));
    return out;
  }

 private:
  // Short linear ramps at both ends, so that the sound does not click.
  static std::int64_t Envelope(std::uint32_t i, std::uint32_t count, std::uint32_t ramp) {
    if (i < ramp) return 256LL * i / ramp;
    if (count - i < ramp) return 256LL * (count - i) / ramp;
    return 256;
  }

  void Push(std::int64_t v) {
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    samples_.push_back(static_cast<std::int16_t>(v));
  }

  static void Tag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
  }
  static void Le16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  static void Le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Le16(out, static_cast<std::uint16_t>(v));
    Le16(out, static_cast<std::uint16_t>(v >> 16));
  }

  std::vector<std::int16_t> samples_;
  std::uint32_t seed_ = 0x9E3779B9u;
};

std::vector<std::uint8_t> Beep() {
  Sound s;
  s.Tone(1000, 150, 12000);
  return s.Wave();
}

std::vector<std::uint8_t> Click() {
  Sound s;
  s.Noise(4, 9000);
  s.Tone(2400, 12, 6000);
  return s.Wave();
}

std::vector<std::uint8_t> Shot() {
  // A camera shutter: the curtain opens, then closes.
  Sound s;
  s.Noise(35, 14000);
  s.Silence(45);
  s.Noise(60, 10000);
  return s.Wave();
}

std::vector<std::uint8_t> Start() {
  Sound s;
  s.Tone(660, 110, 11000);
  s.Tone(880, 110, 11000);
  s.Tone(1320, 160, 11000);
  return s.Wave();
}

std::vector<std::uint8_t> Stop() {
  Sound s;
  s.Tone(1320, 110, 11000);
  s.Tone(880, 110, 11000);
  s.Tone(660, 160, 11000);
  return s.Wave();
}

std::vector<std::uint8_t> HelpPlaceholder() {
  constexpr std::string_view text =
      "VXR.chm - DEMO PLACEHOLDER\r\n"
      "\r\n"
      "This is a demo file of the VXR Setup demo package. The help of Tarvo's Screen\r\n"
      "Recorder is a compiled HTML Help file; the demo package installs this text in\r\n"
      "its place, so Windows' help viewer cannot open it.\r\n";
  return {text.begin(), text.end()};
}

}  // namespace

std::vector<payload::ProductFile> DemoProduct(Programs programs) {
  const bool wide = programs == Programs::kX86_64;
  const std::span<const std::uint8_t> main = wide ? kScreenRecorderExe64 : kScreenRecorderExe32;
  const std::span<const std::uint8_t> uninstall = wide ? kUninstallExe64 : kUninstallExe32;
  std::vector<payload::ProductFile> files;
  files.push_back({"Screen Recorder.exe", {main.begin(), main.end()}});
  files.push_back({"Stop.wav", Stop()});
  files.push_back({"Start.wav", Start()});
  files.push_back({"Shot.wav", Shot()});
  files.push_back({"Click.wav", Click()});
  files.push_back({"Beep.wav", Beep()});
  files.push_back({"Uninstall VXR.exe", {uninstall.begin(), uninstall.end()}});
  files.push_back({"VXR.chm", HelpPlaceholder()});
  return files;
}

}  // namespace vxr::demo
