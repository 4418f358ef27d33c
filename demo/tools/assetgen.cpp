/*
 * The asset generator's entry point and its one table of generated files: every picture and
 * sound of the bundled game, with the size each picture must have. `--out DIR` writes them
 * all into the game folder; `--list` prints the table for the tests.
 */
#include "assetgen.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace assetgen {

namespace {

Asset picture(const char* path, int width, int height, std::function<Canvas()> paint) {
  return {path, AssetKind::Png, width, height, std::move(paint), {}};
}

Asset sound(const char* path, std::function<std::vector<float>()> synth) {
  return {path, AssetKind::Wav, 0, 0, {}, std::move(synth)};
}

Asset music(const char* path, std::function<std::vector<float>()> synth) {
  return {path, AssetKind::Music, 0, 0, {}, std::move(synth)};
}

}  // namespace

const std::vector<Asset>& assetTable() {
  static const std::vector<Asset> table = {
      // Logo and title screen.
      picture("sys/logo.png", 600, 240, paintLogo),
      picture("sys/title_bg.png", 800, 600, paintTitleBackground),
      picture("sys/bg_select.png", 800, 600, paintSelectBackground),
      // The title buttons: two rows of cells, row 0 at rest, row 1 under the pointer.
      picture("sys/title_begin.png", 300, 112, [] { return paintTitleButton("はじめから"); }),
      picture("sys/title_load.png", 300, 112, [] { return paintTitleButton("つづきから"); }),
      picture("sys/title_exit.png", 300, 112, [] { return paintTitleButton("おわる"); }),
      // Click-wait cursors: one row of animation cells each.
      picture("sys/cursor0.png", 8 * 48, 96, paintViewCursor),
      picture("sys/cursor1.png", 8 * 32, 32, paintStartCursor),
      picture("sys/cursor_np.png", 8 * 32, 40, paintPageCursor),
      picture("sys/cursor_blank.png", 8, 8, paintBlankCursor),
      picture("sys/mark_auto.png", 72, 24, paintAutoMark),
      // Message window and transitions.
      picture("sys/text_msg.png", 800, 200, paintMessageWindow),
      picture("sys/wipe_bg.png", 800, 600, paintWipeMask),
      // The life gauge of the courtroom.
      picture("sys/court_life.png", 215, 200, paintLifeGauge),
      picture("sys/court_lifedown.png", 43, 40, paintLifeLoss),
      // The court record: the item panel's window and the record screen's buttons. The
      // buttons on the right are anchored by their right edges and packed leftwards, so
      // their widths fit the gaps between their places (35, 99 and 163 pixels).
      picture("sys/text_item.png", 800, 200, paintItemWindow),
      picture("sys/btn_item_right.png", 35, 96, [] { return paintRecordArrow(true); }),
      picture("sys/btn_item_left.png", 35, 96, [] { return paintRecordArrow(false); }),
      picture("sys/btn_item_tojiru.png", 96, 96, [] { return paintRecordButton("とじる", 96); }),
      picture("sys/btn_item_tsuki.png", 160, 96,
              [] { return paintRecordButton("つきつける", 160); }),
      picture("sys/btn_item_chara.png", 120, 96, [] { return paintRecordButton("人物", 120); }),
      picture("sys/btn_item_item.png", 120, 96, [] { return paintRecordButton("証拠品", 120); }),
      picture("sys/btn_item_mag.png", 96, 80, paintMagnifyButton),
      picture("sys/btn_other_kiroku.png", 120, 96, paintRecordOpenButton),
      // The first episode's evidence and profile, named by scn/maid/item.txt.
      picture("sys/item_ashiato.png", 192, 184, paintFootprintsEntry),
      picture("sys/item_tegami.png", 192, 184, paintLetterEntry),
      picture("sys/item_hoshino.png", 192, 184, paintWitnessProfile),
      // The later entries of the three episodes' records (scn/*/item.txt).
      picture("sys/item_kashiki.png", 192, 184, [] { return paintProfileEntry(paintGardener()); }),
      picture("sys/item_beni.png", 192, 184, [] { return paintProfileEntry(paintActress()); }),
      picture("sys/item_kurokawa.png", 192, 184, [] { return paintProfileEntry(paintButler()); }),
      picture("sys/item_aoyagi.png", 192, 184, [] { return paintProfileEntry(paintGuest()); }),
      picture("sys/item_kubikazari.png", 192, 184, paintNecklaceEntry),
      picture("sys/item_kubikazari_mag.png", 480, 360, paintNecklaceMagnified),
      picture("sys/item_isho.png", 192, 184, paintCostumeEntry),
      picture("sys/item_daihon.png", 192, 184, paintScriptEntry),
      picture("sys/item_suigara.png", 192, 184, paintCigaretteEntry),
      picture("sys/item_kagi.png", 192, 184, paintKeyEntry),
      // Sound effects.
      sound("sys/se/文字クリック.wav", soundPageClick),
      sound("sys/se/文字表示.wav", soundCharacter),
      sound("sys/se/異議あり.wav", soundObjection),
      sound("sys/se/判決.wav", soundGavel),
      sound("sys/se/HP減少.wav", soundLifeLost),
      sound("sys/se/証言開始.wav", soundTestimonyStart),
      sound("sys/se/ジングル.wav", soundJingle),
      sound("sys/se/アイテム取得.wav", soundItemGained),
      sound("sys/se/アイテム切り替え.wav", soundItemSwitch),
      sound("sys/se/アイテム決定.wav", soundItemChosen),
      sound("sys/se/大声.wav", soundLoud),
      sound("sys/se/扉.wav", soundDoor),
      // The courtroom stage: the main court is one wide picture with the lawyer, the witness
      // stand and the prosecutor 928 pixels apart; the rails are drawn over the characters.
      picture("sys/bg_court_main.png", 2656, 600, paintCourtMain),
      picture("sys/bg_court_judge.png", 800, 600, paintCourtJudge),
      picture("sys/bg_court_guide.png", 800, 600, paintCourtGuide),
      picture("sys/fg_court_main.png", 2656, 11, paintCourtMainRail),
      picture("sys/fg_court_judge.png", 800, 162, paintCourtJudgeBench),
      picture("sys/tsukioka.png", 800, 2160, paintLawyer),
      picture("sys/kirishima.png", 800, 2160, paintProsecutor),
      picture("sys/hoshino.png", 800, 2160, paintWitness),
      picture("sys/saibancho.png", 800, 2160, paintJudge),
      picture("sys/sayo.png", 800, 2160, paintMaid),
      picture("sys/beni.png", 800, 2160, paintActress),
      picture("sys/kurokawa.png", 800, 2160, paintButler),
      // The episodes' own places, in their scenario folders: the engine looks there first.
      picture("scn/maid/bg_niwa.png", 1600, 600, paintGarden),
      picture("scn/kigae/bg_gakuya.png", 800, 600, paintDressingRoom),
      picture("scn/kigae/fg_curtain.png", 800, 90, paintCurtainValance),
      picture("scn/tabako/bg_shosai.png", 800, 600, paintStudy),
      // The courtroom's set pieces: shouted bubbles, the verdict, name plates and voices.
      picture("sys/court_igi.png", 464, 264,
              [] { return paintExclamationBubble("異議あり！", hex(0x1a2a6c)); }),
      picture("sys/court_matta.png", 464, 264,
              [] { return paintExclamationBubble("待った！", hex(0x1a2a6c)); }),
      picture("sys/court_kurae.png", 464, 264,
              [] { return paintExclamationBubble("くらえ！", hex(0x6c1a1a)); }),
      picture("sys/court_guilty0.png", 300, 300,
              [] { return paintVerdictCharacter("有", hex(0xd8262c)); }),
      picture("sys/court_guilty1.png", 300, 300,
              [] { return paintVerdictCharacter("罪", hex(0xd8262c)); }),
      picture("sys/court_innocence0.png", 300, 300,
              [] { return paintVerdictCharacter("無", hex(0xf1d98a)); }),
      picture("sys/court_innocence1.png", 300, 300,
              [] { return paintVerdictCharacter("罪", hex(0xf1d98a)); }),
      picture("sys/name_tsukioka.png", 200, 40, [] { return paintNamePlate("月岡"); }),
      picture("sys/name_kirishima.png", 200, 40, [] { return paintNamePlate("霧島"); }),
      picture("sys/name_hoshino.png", 200, 40, [] { return paintNamePlate("星野"); }),
      picture("sys/name_saibancho.png", 200, 40, [] { return paintNamePlate("裁判長"); }),
      picture("sys/name_sayo.png", 200, 40, [] { return paintNamePlate("小夜"); }),
      picture("sys/name_beni.png", 200, 40, [] { return paintNamePlate("紅野"); }),
      picture("sys/name_kurokawa.png", 200, 40, [] { return paintNamePlate("黒川"); }),
      sound("sys/voice/tsukioka_igi.wav", [] { return voiceShout("igi", 150, 11); }),
      sound("sys/voice/tsukioka_matta.wav", [] { return voiceShout("matta", 150, 12); }),
      sound("sys/voice/tsukioka_kurae.wav", [] { return voiceShout("kurae", 150, 13); }),
      sound("sys/voice/kirishima_igi.wav", [] { return voiceShout("igi", 105, 21); }),
      sound("sys/voice/kirishima_matta.wav", [] { return voiceShout("matta", 105, 22); }),
      sound("sys/voice/kirishima_kurae.wav", [] { return voiceShout("kurae", 105, 23); }),
      // Testimony and cross-examination: the logos that open them, and the press and present
      // buttons at the top corners, low enough to leave the life gauge below them clear.
      picture("sys/inquiry_logo0.png", 640, 160, [] { return paintInquiryLogo("証言開始"); }),
      picture("sys/inquiry_logo1.png", 640, 160, [] { return paintInquiryLogo("尋問開始"); }),
      picture("sys/btn_inquiry_shake.png", 180, 80, paintPressButton),
      picture("sys/btn_inquiry_confront.png", 180, 80, paintPresentButton),
      // Background music, listed in bgm/list.txt.
      music("bgm/court_prelude.wav", musicCourtPrelude),
      music("bgm/court_body.wav", musicCourtBody),
      music("bgm/night_prelude.wav", musicNightPrelude),
      music("bgm/night_body.wav", musicNightBody),
      music("bgm/cross_prelude.wav", musicCrossPrelude),
      music("bgm/cross_body.wav", musicCrossBody),
  };
  return table;
}

namespace {

// Straight 8-bit channels. A faint deterministic dither keeps the slow night-sky gradients
// free of banding; it never changes a fully transparent or fully opaque alpha.
uint8_t toByte(float v, float dither) {
  long q = std::lround(clamp01(v) * 255.0f + dither);
  return uint8_t(q < 0 ? 0 : (q > 255 ? 255 : q));
}

void savePng(const Canvas& c, const std::filesystem::path& file) {
  bool opaque = true;
  for (size_t i = 3; i < c.px.size() && opaque; i += 4) opaque = c.px[i] >= 1.0f;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(
      0, c.width, c.height, opaque ? 24 : 32,
      opaque ? SDL_PIXELFORMAT_RGB24 : SDL_PIXELFORMAT_RGBA32);
  if (!s) throw std::runtime_error(std::string("no surface: ") + SDL_GetError());
  auto* bytes = static_cast<uint8_t*>(s->pixels);
  for (int y = 0; y < c.height; ++y) {
    uint8_t* row = bytes + size_t(y) * size_t(s->pitch);
    for (int x = 0; x < c.width; ++x) {
      Rgba k = pixelAt(c, x, y);
      float d = hashUnit(x, y, 0x5eedu) - 0.5f;
      uint8_t* p = row + size_t(x) * (opaque ? 3 : 4);
      p[0] = toByte(k.r, d);
      p[1] = toByte(k.g, d);
      p[2] = toByte(k.b, d);
      if (!opaque) p[3] = toByte(k.a, 0);
    }
  }
  int rc = IMG_SavePNG(s, file.string().c_str());
  SDL_FreeSurface(s);
  if (rc != 0) throw std::runtime_error("cannot write " + file.string() + ": " + IMG_GetError());
}

void saveBytes(const std::vector<uint8_t>& data, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

void writeAsset(const Asset& asset, const std::string& gameDir) {
  namespace fs = std::filesystem;
  fs::path target = fs::path(gameDir) / fs::u8path(asset.path);
  fs::create_directories(target.parent_path());
  // Written beside the target and renamed into place, so an interrupted build never leaves
  // a half-written picture that looks up to date.
  fs::path temp = target;
  temp += ".part";
  if (asset.kind == AssetKind::Png) {
    Canvas c = asset.paint();
    if (c.width != asset.width || c.height != asset.height)
      throw std::runtime_error(std::string(asset.path) + " was painted at the wrong size");
    savePng(c, temp);
  } else {
    saveBytes(encodeWav(asset.sound()), temp);
  }
  fs::rename(temp, target);
}

}  // namespace assetgen

namespace {

int usage(FILE* to) {
  std::fprintf(to,
               "usage: assetgen --out GAME_DIR   write every generated picture and sound\n"
               "       assetgen --list           list them: kind, path, width, height\n");
  return to == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace assetgen;
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const Asset& a : assetTable())
      std::printf("%s %s %d %d\n",
                  a.kind == AssetKind::Png ? "png" : a.kind == AssetKind::Wav ? "wav" : "music",
                  a.path, a.width, a.height);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout);
  if (argc != 3 || std::strcmp(argv[1], "--out") != 0) return usage(stderr);
  int status = 0;
  try {
    for (const Asset& a : assetTable()) writeAsset(a, argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    status = 1;
  }
  closeLettering();
  return status;
}
