#pragma once
// The surface the test report is drawn on: a printer in the windowed program,
// a PDF file in the command-line companion, a recording in the tests. Lengths
// are device pixels; texts are GBK bytes as the table holds them.
#include <string>
#include <string_view>

namespace report {

enum class Orientation { Portrait = 1, Landscape = 2 };

// Pen styles of a rule, numbered as the report engine's callers number them.
enum class PenStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

// A font as the engine creates it: the character height in pixels (without
// internal leading), weight 400 normal or 700 bold, upright, no underline.
struct FontSpec {
  std::string face;  // UTF-8
  int pixelHeight = 0;
  int weight = 400;
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

// A colour for texts and lines, 0-255 per channel.
struct Color {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Color&) const = default;
};
inline constexpr Color kBlack{0, 0, 0};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class IReportDevice {
 public:
  virtual ~IReportDevice() = default;

  // Lets the operator pick the printer. False when cancelled, or when the
  // chosen printer cannot be used.
  virtual bool ChoosePrinter() = 0;
  virtual void SetOrientation(Orientation orientation) = 0;
  // Pixels per inch, vertically.
  virtual int VerticalResolution() const = 0;

  // A print job named `jobName` (UTF-8). False when it cannot be started.
  virtual bool StartDocument(const std::string& jobName) = 0;
  // The printable area in pixels; valid once the document has started.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDocument() = 0;
  // Drops a started document: nothing of it reaches the paper or the file.
  virtual void AbortDocument() = 0;

  // Creates a font and returns its handle for SelectFont.
  virtual int CreateFont(const FontSpec& wanted) = 0;
  virtual void SelectFont(int font) = 0;
  // Width of `gbk` and the line height of the selected font.
  virtual TextExtent MeasureText(std::string_view gbk) = 0;
  // Draws `gbk` with its top left corner at (x, y), cut at `clip`.
  virtual void DrawText(int x, int y, std::string_view gbk, const Rect& clip) = 0;
  // Draws `gbk` with its top left corner at (x, y), uncut.
  virtual void DrawText(int x, int y, std::string_view gbk) = 0;
  // A one-pixel line in the current colour.
  virtual void DrawLine(int x1, int y1, int x2, int y2, PenStyle style) = 0;
  // The colour of the texts and lines drawn next; black until set. A device
  // that prints black only keeps drawing black, which is why a colour is never
  // the only sign of what a text means.
  virtual void SetColor(const Color&) {}
};

}  // namespace report
