#include "uTagDescription.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace lodestar {
namespace {

struct TNameRow {
  std::uint16_t Code;
  std::string_view Name;
};

// Exif 2.3's private directory. Its tag numbers share the main table's number space, so numbers
// missing here fall back to that table. Ascending for the binary search.
constexpr std::array<TNameRow, 69> ExifNames = {{
    {33434, "ExposureTime"},
    {33437, "FNumber"},
    {34850, "ExposureProgram"},
    {34852, "SpectralSensitivity"},
    {34855, "PhotographicSensitivity"},
    {34856, "OECF"},
    {34864, "SensitivityType"},
    {34865, "StandardOutputSensitivity"},
    {34866, "RecommendedExposureIndex"},
    {34867, "ISOSpeed"},
    {34868, "ISOSpeedLatitudeyyy"},
    {34869, "ISOSpeedLatitudezzz"},
    {36864, "ExifVersion"},
    {36867, "DateTimeOriginal"},
    {36868, "DateTimeDigitized"},
    {37121, "ComponentsConfiguration"},
    {37122, "CompressedBitsPerPixel"},
    {37377, "ShutterSpeedValue"},
    {37378, "ApertureValue"},
    {37379, "BrightnessValue"},
    {37380, "ExposureBiasValue"},
    {37381, "MaxApertureValue"},
    {37382, "SubjectDistance"},
    {37383, "MeteringMode"},
    {37384, "LightSource"},
    {37385, "Flash"},
    {37386, "FocalLength"},
    {37396, "SubjectArea"},
    {37500, "MakerNote"},
    {37510, "UserComment"},
    {37520, "SubSecTime"},
    {37521, "SubSecTimeOriginal"},
    {37522, "SubSecTimeDigitized"},
    {40960, "FlashpixVersion"},
    {40961, "ColorSpace"},
    {40962, "PixelXDimension"},
    {40963, "PixelYDimension"},
    {40964, "RelatedSoundFile"},
    {40965, "InteroperabilityIFD"},
    {41483, "FlashEnergy"},
    {41484, "SpatialFrequencyResponse"},
    {41486, "FocalPlaneXResolution"},
    {41487, "FocalPlaneYResolution"},
    {41488, "FocalPlaneResolutionUnit"},
    {41492, "SubjectLocation"},
    {41493, "ExposureIndex"},
    {41495, "SensingMethod"},
    {41728, "FileSource"},
    {41729, "SceneType"},
    {41730, "CFAPattern"},
    {41985, "CustomRendered"},
    {41986, "ExposureMode"},
    {41987, "WhiteBalance"},
    {41988, "DigitalZoomRatio"},
    {41989, "FocalLengthIn35mmFilm"},
    {41990, "SceneCaptureType"},
    {41991, "GainControl"},
    {41992, "Contrast"},
    {41993, "Saturation"},
    {41994, "Sharpness"},
    {41995, "DeviceSettingDescription"},
    {41996, "SubjectDistanceRange"},
    {42016, "ImageUniqueID"},
    {42032, "CameraOwnerName"},
    {42033, "BodySerialNumber"},
    {42034, "LensSpecification"},
    {42035, "LensMake"},
    {42036, "LensModel"},
    {42037, "LensSerialNumber"},
}};

// The GPS directory numbers its tags from 0, apart from every other table.
constexpr std::array<TNameRow, 32> GpsNames = {{
    {0, "GPSVersionID"},        {1, "GPSLatitudeRef"},
    {2, "GPSLatitude"},         {3, "GPSLongitudeRef"},
    {4, "GPSLongitude"},        {5, "GPSAltitudeRef"},
    {6, "GPSAltitude"},         {7, "GPSTimeStamp"},
    {8, "GPSSatellites"},       {9, "GPSStatus"},
    {10, "GPSMeasureMode"},     {11, "GPSDOP"},
    {12, "GPSSpeedRef"},        {13, "GPSSpeed"},
    {14, "GPSTrackRef"},        {15, "GPSTrack"},
    {16, "GPSImgDirectionRef"}, {17, "GPSImgDirection"},
    {18, "GPSMapDatum"},        {19, "GPSDestLatitudeRef"},
    {20, "GPSDestLatitude"},    {21, "GPSDestLongitudeRef"},
    {22, "GPSDestLongitude"},   {23, "GPSDestBearingRef"},
    {24, "GPSDestBearing"},     {25, "GPSDestDistanceRef"},
    {26, "GPSDestDistance"},    {27, "GPSProcessingMethod"},
    {28, "GPSAreaInformation"}, {29, "GPSDateStamp"},
    {30, "GPSDifferential"},    {31, "GPSHPositioningError"},
}};

// The Interoperability directory: the rule set's index and version, and the related image file
// of the camera file system rules that Exif readers know it by.
constexpr std::array<TNameRow, 5> InteroperabilityNames = {{
    {1, "InteroperabilityIndex"},
    {2, "InteroperabilityVersion"},
    {4096, "RelatedImageFileFormat"},
    {4097, "RelatedImageWidth"},
    {4098, "RelatedImageLength"},
}};

// The texts as strings built once, so that callers may hold the reference.
template <std::size_t N>
const std::string* Find(const std::array<TNameRow, N>& rows, std::uint16_t code) {
  static const std::array<std::string, N> texts = [&rows] {
    std::array<std::string, N> result;
    for (std::size_t i = 0; i < N; ++i)
      result[i] = std::string(rows[i].Name);
    return result;
  }();
  auto it = std::lower_bound(rows.begin(), rows.end(), code,
                             [](const TNameRow& row, std::uint16_t c) { return row.Code < c; });
  if (it == rows.end() || it->Code != code)
    return nullptr;
  return &texts[static_cast<std::size_t>(it - rows.begin())];
}

} // namespace

const std::string& TagDescription(TDirectoryKind kind, std::uint16_t code) {
  const std::string* name = nullptr;
  switch (kind) {
  case TDirectoryKind::Exif:
    name = Find(ExifNames, code);
    break;
  case TDirectoryKind::Gps:
    name = Find(GpsNames, code);
    if (!name)
      return TagDescription(-1);
    break;
  case TDirectoryKind::Interoperability:
    name = Find(InteroperabilityNames, code);
    if (!name)
      return TagDescription(-1);
    break;
  default:
    break;
  }
  return name ? *name : TagDescription(static_cast<std::int32_t>(code));
}

} // namespace lodestar
