#include "uTagDescription.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lodestar {
namespace {

struct TDescriptionRow {
  std::int32_t Number;
  std::string_view Text;
};

// The texts are the program's own wording, misspellings, runs of blanks and trailing blanks
// included: the listing, the printed report and the batch check-list show them as they stand.
// Kept in ascending order of number for the binary search.
constexpr std::array<TDescriptionRow, 200> Rows = {{
    {254, "NewSubfileType"},
    {255, "SubfileType"},
    {256, "ImageWidth"},
    {257, "ImageLength"},
    {258, "BitsPerSample"},
    {259, "Compression"},
    {262, "Photom.Interpr."},
    {263, "Tresholding"},
    {264, "CellWidth"},
    {265, "CellLength"},
    {266, "FillOrder"},
    {269, "DocumentName"},
    {270, "ImageDescript."},
    {271, "Make"},
    {272, "Model"},
    {273, "StripOffsets"},
    {274, "Orientation"},
    {277, "SamplesPerPixel"},
    {278, "RowsPerStrip"},
    {279, "StripByteCounts"},
    {280, "Min Sample Value"},
    {281, "Max Sample Value"},
    {282, "X Resolution"},
    {283, "Y Resolution"},
    {284, "PlanarConfig."},
    {285, "PageName"},
    {286, "XPosition"},
    {287, "YPosition"},
    {288, "FreeOffsets"},
    {289, "FreeByteCounts"},
    {290, "GrayResp.Unit"},
    {291, "GrayResp.Curves"},
    {292, "Group3Options"},
    {293, "Group4Options"},
    {296, "ResolutionUnit"},
    {297, "PageNumber"},
    {300, "ColorResponseUnit"},
    {301, "ColorResp.Curves"},
    {305, "Software"},
    {306, "DateTime"},
    {315, "Artist"},
    {316, "HostComputer"},
    {317, "Predictor"},
    {318, "WhitePoint"},
    {319, "Prim.Chromatic."},
    {320, "ColorMap"},
    {321, "HalftoneHints"},
    {322, "TileWidth"},
    {323, "TileLength"},
    {324, "TileOffset"},
    {325, "TileByteCount"},
    {326, "BadFaxLines"},
    {327, "CleanFaxData"},
    {328, "Consec.BadFaxLines"},
    {330, "SubIFDs"},
    {332, "Inkset"},
    {333, "InkNames"},
    {334, "Number Of Inks"},
    {336, "Dot Range"},
    {337, "Target Printer"},
    {338, "Extra Samples"},
    {339, "Sample Format"},
    {340, "S Min Sample Val"},
    {341, "S Max Sample Val"},
    {342, "Transfer Range"},
    {343, "ClipPath       PMkr"},
    {344, "XClipPathUnits PMkr"},
    {345, "YClipPathUnits PMkr"},
    {346, "Indexed        PMkr"},
    {347, "JPEGTables     PShp"},
    {351, "OPIProxy       PMkr"},
    {512, "Jpeg Proc"},
    {513, "JPeg Interch Frmt"},
    {514, "Jpg inter fmtlngh"},
    {515, "Jpg Restrt interv"},
    {517, "Jpg lsless pred"},
    {518, "Jpg pnt transfer"},
    {519, "JPEGQTables"},
    {520, "JPEGDCTables"},
    {521, "JPEGACTables"},
    {529, "YCbCrCoefficients"},
    {530, "YCbCrSubSampling"},
    {531, "YCbCrPositioning"},
    {532, "Ref Black White"},
    {700, "XMP"},
    {32781, "Image ID    PMkr"},
    {32934, "Private tag Kodak"},
    {32957, "Wicks and &Wilson Punch Data"},
    {32958, "Wicks and &Wilson Print Data"},
    {32959, "Reduction Ratio Wicks and &Wilson"},
    {32960, "X axis offset   Wicks and &Wilson"},
    {32961, "Y axis offset   Wicks and &Wilson"},
    {32995, "Matteing"},
    {32997, "DataType"},
    {32998, "ImageDepth"},
    {33421, "CFA RepeatPaternDim"},
    {33422, "CFAPattern"},
    {33423, "BatteryLevel"},
    {33432, "Copyright"},
    {33434, "Exposure Time"},
    {33437, "Fnumber"},
    {33550, "ModelPixScaleTg GEO"},
    {33723, "IPTC/NAA"},
    {33920, "IntrgraphMatrixTag"},
    {33922, "ModelTiepointTag"},
    {34016, "Site"},
    {34017, "Color Sequence"},
    {34018, "IT8 Header"},
    {34019, "RasterPadding"},
    {34020, "BitsPerRunLength"},
    {34021, "BitsPerExtdRunLngth"},
    {34022, "ColorTable"},
    {34023, "ImageColorIndicator"},
    {34024, "BackgroundColorInd"},
    {34025, "ImageColorValue"},
    {34026, "Background Color Value"},
    {34027, "Pixel Intensity Range"},
    {34028, "Transparency Indictor"},
    {34029, "Color Characterization"},
    {34030, "HCUsage"},
    {34264, "ModelTransf.Tag"},
    {34377, "PhotoshopImageResrs"},
    {34665, "ExifIFD Photoshop"},
    {34675, "InterColour Profile "},
    {34737, "GeoAscii Params Tag"},
    {34850, "Exposure Program"},
    {34852, "SpectralSensitivity"},
    {34853, "GPSInfo"},
    {34855, "ISOSpeedRatings"},
    {34856, "OECF"},
    {34857, "Interlace"},
    {34858, "TimeZoneOffset"},
    {34859, "SelfTimerMode"},
    {34908, "FaxRecvParams"},
    {34909, "FaxSubAddress"},
    {34910, "FaxRecvTime"},
    {36864, "Exif Version"},
    {36867, "DateTime Original   "},
    {36868, "DateTime Digitized  "},
    {37121, "Components Configuration"},
    {37122, "Compressed Bits Per Pix"},
    {37377, "Shutter Speed Value"},
    {37378, "Aperture Value"},
    {37379, "Brightness Value"},
    {37380, "Exposure Bias Value"},
    {37381, "MaxAperture Value"},
    {37382, "SubjectDistance"},
    {37383, "MeteringMode"},
    {37384, "Light Source"},
    {37385, "Flash"},
    {37386, "FocalLength"},
    {37387, "FlashEnergy"},
    {37388, "Spatial Frequency Response"},
    {37389, "Noise"},
    {37390, "Focal PlaneX-Resolution"},
    {37391, "Focal Plane Y-Resolution"},
    {37392, "Focal Plane Resolution Unit"},
    {37393, "Image Number"},
    {37394, "Security Classifictn"},
    {37395, "Image History"},
    {37396, "Subject Location / Area"},
    {37397, "ExposureIndex"},
    {37398, "TIFF/EPStandardID"},
    {37399, "SensingMethod"},
    {37439, "StoNits"},
    {37500, "MakerNote"},
    {37510, "UserComment"},
    {37521, "SubSecTimeOriginal"},
    {37522, "SubSecTimeDigitized"},
    {37724, "ImageSourceDataPShp"},
    {40960, "FlashpixVersion"},
    {40961, "ColorSpace"},
    {40962, "Pixel X-Dimension"},
    {40963, "Pixel Y-Dimension"},
    {40964, "Related Sound File"},
    {40965, "Interoperability IFD"},
    {41483, "Flash Energy"},
    {41484, "Spatial Frequency Response"},
    {41486, "Focal Plane X-Resolution"},
    {41487, "Focal Plane Y-Resolution"},
    {41488, "Focal Plane Resolution Unit"},
    {41492, "Subject Location"},
    {41493, "Exposure Index"},
    {41495, "SensingMethod"},
    {41728, "FileSource"},
    {41729, "SceneType"},
    {41730, "CFA Pattern"},
    {41985, "Custom Rendered"},
    {41986, "ExposureMode"},
    {41987, "White Balance"},
    {41988, "Digital Zoom Ratio"},
    {41989, "Focal Length In 35mm Film"},
    {41990, "Scene Capture Type"},
    {41991, "Gain Control        "},
    {41992, "Contrast"},
    {41993, "Saturation"},
    {41994, "Sharpness"},
    {41995, "Device Setting Description"},
    {41996, "Subject Distance Range"},
    {50255, "Photoshop Annotations"},
}};

static_assert(std::is_sorted(Rows.begin(), Rows.end(),
                             [](const TDescriptionRow& a, const TDescriptionRow& b) {
                               return a.Number < b.Number;
                             }),
              "the description rows must stay sorted by number");
static_assert(std::adjacent_find(Rows.begin(), Rows.end(),
                                 [](const TDescriptionRow& a, const TDescriptionRow& b) {
                                   return a.Number == b.Number;
                                 }) == Rows.end(),
              "each tag number appears once");

// Built once so that callers can hold the reference for as long as the program runs.
const std::array<std::string, Rows.size()>& Texts() {
  static const std::array<std::string, Rows.size()> texts = [] {
    std::array<std::string, Rows.size()> result;
    for (std::size_t i = 0; i < Rows.size(); ++i)
      result[i] = std::string(Rows[i].Text);
    return result;
  }();
  return texts;
}

} // namespace

const std::string& TagDescription(std::int32_t tagNumber) {
  // Six trailing blanks, as the listing has always shown it.
  static const std::string unknown = "Unknown Tag      ";
  auto it = std::lower_bound(
      Rows.begin(), Rows.end(), tagNumber,
      [](const TDescriptionRow& row, std::int32_t number) { return row.Number < number; });
  if (it == Rows.end() || it->Number != tagNumber)
    return unknown;
  return Texts()[static_cast<std::size_t>(it - Rows.begin())];
}

} // namespace lodestar
