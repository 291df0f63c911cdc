// The printer block of a print setting (TPrinterEnv, 9600 bytes) and the font record in it
// (TFontRec, 100 bytes), kept as the bytes the configuration file holds. Accessors read and
// write the named fields at their offsets; every other byte is carried unchanged, so a
// block read and written back is identical.
//
// Layout of TPrinterEnv: 0 driver name, 81 device name, 162 port name (81 bytes each,
// zero-terminated); 244, 344, 444 the fonts "stor", "mellan", "liten"; 544 valid flag;
// 552 device mode, fixed part of 220 bytes (private-part length at 622, orientation 628,
// paper size 630, copies 638, print quality 642, y resolution 648); 772 private part of up
// to 8193 bytes; 8968 page set-up of 128 bytes (flags 9000, paper size 9004, margins left,
// top, right, bottom 9028..9040); 9096 device names of 504 bytes (four 16-bit fields, then
// the names as 16-bit characters); 9592 number of page columns.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace printing {

// TFontRec: 0 character set, 4 colour, 8 height, 12 size in points, 16 name (length byte
// and 80 characters), 97 pitch, 98 style; bytes 1..3 and 99 are padding.
struct TFontRec {
  static constexpr size_t kSize = 100;
  enum Pitch : uint8_t { kDefaultPitch = 0, kVariablePitch = 1, kFixedPitch = 2 };
  enum Style : uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

  uint8_t charset = 0;
  uint32_t color = 0;
  int32_t height = 0;
  int32_t size = 0;
  std::string name;  // at most 80 characters
  uint8_t pitch = kDefaultPitch;
  uint8_t style = 0;

  static TFontRec Decode(std::span<const unsigned char, kSize> bytes);
  // Writes the fields; the padding bytes keep what they held.
  void EncodeInto(std::span<unsigned char, kSize> bytes) const;
};

enum class FontSlot { Stor = 0, Mellan = 1, Liten = 2 };

// Orientation and paper numbers as the device mode stores them.
constexpr int16_t kPortrait = 1;
constexpr int16_t kLandscape = 2;
constexpr int16_t kPaperLetter = 1;
constexpr int16_t kPaperA4 = 9;
constexpr int16_t kPaperDL = 27;
constexpr int16_t kPaperFanfold = 40;

constexpr size_t kMaxPrivatePart = 8193;

// What a printer is set to: the fields of the device mode our printing uses, and the
// driver's own private part (opaque bytes, at most 8193).
struct DeviceMode {
  int16_t orientation = kPortrait;
  int16_t paperSize = kPaperA4;
  int16_t copies = 1;
  int16_t printQuality = 600;  // dots per inch, or a negative quality class
  int16_t yResolution = 600;
  std::vector<unsigned char> privatePart;
};

struct Margins {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

class TPrinterEnv {
 public:
  static constexpr size_t kSize = 9600;
  std::array<unsigned char, kSize> bytes{};

  std::string DriverName() const;
  std::string DeviceName() const;
  std::string PortName() const;
  // Names are cut to 80 characters.
  void SetNames(const std::string& driver, const std::string& device, const std::string& port);

  TFontRec Font(FontSlot slot) const;
  void SetFont(FontSlot slot, const TFontRec& font);

  bool Valid() const;
  void SetValid(bool valid);

  // The device mode. A stored private-part length above 8193 is damage and reads as 0.
  DeviceMode GetDeviceMode() const;
  // Writes the fixed part for device and the private part. A private part of 0 or more
  // than 8193 bytes is not stored and its length is set to 0; false for the latter.
  bool SetDeviceMode(const std::string& device, const DeviceMode& mode);
  uint16_t PrivatePartLength() const;

  // The page set-up: flags, paper size (width, height) and margins in its own units.
  uint32_t PageSetupFlags() const;
  Margins PageMargins() const;
  void SetPageMargins(const Margins& margins);
  // Fills the page set-up as the platform's return-default run leaves it.
  void SetDefaultPageSetup(int16_t paperSize, int16_t orientation);

  // Fills the device-names structure from the three names.
  void SetDeviceNames(const std::string& driver, const std::string& device,
                      const std::string& port, bool isDefault);

  int32_t Columns() const;
  void SetColumns(int32_t columns);
};

}  // namespace printing
