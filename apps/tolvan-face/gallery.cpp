// The gallery's cases and layout; captions, in the gallery's language, are drawn with GDI text
// in the gallery's surface.
#include "apps/tolvan-face/gallery.h"

#include "platform/gdi.h"
#include "platform/nls.h"
#include "platform/pixel_surface.h"

namespace tolvan_face {

namespace {

constexpr int kScale = 2;
constexpr int kGap = 8;
constexpr int kColumns = 5;
constexpr int kCaptionHeight = 30;
constexpr std::uint32_t kPaper = 0xFFFFFF;

// The caption in the gallery's language: Portuguese for a Portuguese user, as the control's
// own strings, English otherwise.
struct Caption {
    const char* english;
    const char* portuguese;
};

bool PortugueseUser() {
    constexpr LCID kPrimaryLanguageMask = 0x3FF;
    constexpr LCID kPortuguese = 0x16;
    return (GetUserDefaultLCID() & kPrimaryLanguageMask) == kPortuguese;
}

FaceCase Case(Caption caption, SHORT state, SHORT hose = 0) {
    FaceCase face;
    face.caption = PortugueseUser() ? caption.portuguese : caption.english;
    face.pump.state = state;
    face.pump.hoseNumber = hose;
    return face;
}

FaceCase WithAmounts(FaceCase face, double volume, double value, double price) {
    face.pump.volume = volume;
    face.pump.value = value;
    face.pump.price = price;
    return face;
}

FaceCase Reserved(Caption caption, SHORT kind) {
    FaceCase face = Case(caption, 5);
    face.pump.reservedFor = kind;
    return face;
}

FaceCase Stacked(Caption caption, int count) {
    FaceCase face = Case(caption, 3);
    face.stacked = count;
    face.pump.stackSize = static_cast<SHORT>(count);
    return face;
}

FaceCase Current(Caption caption, CurrentDelivery kind) {
    FaceCase face =
        WithAmounts(Case(caption, kind == CurrentDelivery::Plain ? 3 : 5), 21.48, 53.70, 2.5);
    face.current = kind;
    return face;
}

void Blit(platform::PixelSurface& sheet, const FacePixels& face, int left, int top, int scale) {
    for (int y = 0; y < face.height * scale; ++y) {
        for (int x = 0; x < face.width * scale; ++x) {
            const int sx = x / scale;
            const int sy = y / scale;
            if (left + x < sheet.width && top + y < sheet.height) {
                sheet.at(left + x, top + y) = face.pixels[sy * face.width + sx];
            }
        }
    }
}

}  // namespace

std::vector<FaceCase> GalleryCases() {
    std::vector<FaceCase> cases = {
        Case({"0 not responding", "0 sem comunicação"}, 0),
        Case({"1 error", "1 erro"}, 1),
        Case({"3 idle, locked", "3 livre, bloqueada"}, 3),
        Case({"5 authorised", "5 autorizada"}, 5),
        Case({"6 calling, blink on", "6 chamando, sinal aceso"}, 6, 1),
        Case({"6 calling, blink off", "6 chamando, sinal apagado"}, 6, 1),
        WithAmounts(Case({"7 starting", "7 iniciando"}, 7, 1), 0, 0, 1.999),
        WithAmounts(Case({"8 delivering", "8 abastecendo"}, 8, 1), 12.345, 24.68, 1.999),
        WithAmounts(Case({"9 stopped", "9 parada temporária"}, 9, 1), 3.5, 7.0, 2.0),
        WithAmounts(Case({"10 delivering, limit", "10 abastecendo, limite"}, 10, 2), 19.87, 39.74,
                    2.0),
        WithAmounts(Case({"13 ended, nozzle out", "13 encerrado, bico fora"}, 13, 1), 25.0, 50.0,
                    2.0),
        WithAmounts(Case({"14 prepay stopped", "14 pré-pago parado"}, 14, 1), 10.0, 20.0, 2.0),
        Case({"15 stopped by site", "15 parada pelo controlador"}, 15, 1),
        Case({"16 error", "16 erro"}, 16),
        Case({"17 error", "17 erro"}, 17),
        Reserved({"prepay reserved (2)", "pré-pago reservado (2)"}, 2),
        Reserved({"prepaid (3)", "pré-pago autorizado (3)"}, 3),
        Reserved({"preauth reserved (4)", "pré-autorização reservada (4)"}, 4),
        Reserved({"preauthorised (5)", "pré-autorizada (5)"}, 5),
        Stacked({"stack 0", "memória 0"}, 0),
        Stacked({"stack 1", "memória 1"}, 1),
        Stacked({"stack 2", "memória 2"}, 2),
        Stacked({"stack 3", "memória 3"}, 3),
        Stacked({"stack 4", "memória 4"}, 4),
        Stacked({"stack 5", "memória 5"}, 5),
        WithAmounts(Case({"live delivery", "abastecimento em curso"}, 8, 1), 21.48, 53.70, 2.5),
        Current({"current delivery", "venda a pagar"}, CurrentDelivery::Plain),
        Current({"locked delivery", "venda bloqueada"}, CurrentDelivery::Locked),
        Current({"overdue delivery", "venda atrasada"}, CurrentDelivery::Overdue),
        Current({"negative value", "valor negativo"}, CurrentDelivery::Negative),
        WithAmounts(Case({"long values", "valores longos"}, 8, 1), 12345.678, 98765.43, 12.345),
        WithAmounts(Case({"current pump 07", "bomba atual 07"}, 8, 1), 4.2, 8.4, 2.0),
        WithAmounts(Case({"pump 123", "bomba 123"}, 5), 0, 0, 2.0),
        WithAmounts(Case({"negative live value", "valor em curso negativo"}, 9, 1), -2.5, -5.0,
                    2.0),
    };
    cases[5].blinkOn = false;
    cases[31].isCurrentPump = true;
    cases[31].pump.number = 7;
    cases[32].pump.number = 123;
    for (FaceCase& face : cases) {
        if (face.pump.number == 1)
            face.pump.number = 4;
    }
    return cases;
}

bool WriteFacePng(const FacePixels& face, int scale, const std::string& path, std::string* error) {
    platform::PixelSurface surface;
    surface.Reset(face.width * scale, face.height * scale, kPaper);
    Blit(surface, face, 0, 0, scale);
    std::string failure;
    if (!WritePng(surface, path.c_str(), &failure)) {
        *error = "cannot write " + path + ": " + failure;
        return false;
    }
    return true;
}

bool WriteGallery(FaceHost& host, const std::vector<FaceCase>& cases, const std::string& path,
                  std::string* error) {
    const int cellWidth = 80 + kGap + 80 * kScale + 2 * kGap;
    const int cellHeight = 80 * kScale + kCaptionHeight + kGap;
    const int rows = (static_cast<int>(cases.size()) + kColumns - 1) / kColumns;
    platform::PixelSurface sheet;
    sheet.Reset(kColumns * cellWidth + kGap, rows * cellHeight + kGap, kPaper);
    HDC dc = CreateSurfaceDC(sheet, POINT{0, 0}, {RECT{0, 0, sheet.width, sheet.height}});
    LOGFONTW logfont{};
    logfont.lfHeight = 13;
    logfont.lfWeight = FW_NORMAL;
    const char16_t face[] = u"Arial";
    for (int i = 0; face[i] != 0; ++i)
        logfont.lfFaceName[i] = face[i];
    HFONT font = CreateFontIndirectW(&logfont);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x000000);

    bool ok = true;
    for (std::size_t i = 0; i < cases.size() && ok; ++i) {
        FacePixels pixels;
        ok = host.Render(cases[i], &pixels, error);
        if (!ok)
            break;
        const int left = kGap + static_cast<int>(i % kColumns) * cellWidth;
        const int top = kGap + static_cast<int>(i / kColumns) * cellHeight;
        Blit(sheet, pixels, left, top, 1);
        Blit(sheet, pixels, left + 80 + kGap, top, kScale);
        RECT caption{left, top + 80 * kScale + 4, left + cellWidth - kGap, top + cellHeight};
        DrawTextA(dc, cases[i].caption.c_str(), -1, &caption, DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
    DeleteDC(dc);
    std::string failure;
    if (ok && !WritePng(sheet, path.c_str(), &failure)) {
        *error = "cannot write " + path + ": " + failure;
        ok = false;
    }
    return ok;
}

}  // namespace tolvan_face
