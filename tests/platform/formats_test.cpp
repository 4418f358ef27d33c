// Sound formats the game's files come in: Ogg Vorbis and MP3 as well as WAV, as effects and
// as stream entries. The files are made here: Vorbis through its encoder, MP3 as silent frames.
#include "headless_fixture.h"

#include <vorbis/vorbisenc.h>

#include <cmath>

namespace {

// A tenth of a second of a 440 Hz tone as an Ogg Vorbis file.
std::string oggTone() {
  vorbis_info info;
  vorbis_info_init(&info);
  EXPECT_EQ(vorbis_encode_init_vbr(&info, 2, 44100, 0.4f), 0);
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);
  std::string out;
  ogg_page page;
  auto drain = [&](bool flush) {
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
      out.append(reinterpret_cast<char*>(page.header), size_t(page.header_len));
      out.append(reinterpret_cast<char*>(page.body), size_t(page.body_len));
    }
  };
  ogg_packet header, commentPacket, codebook;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebook);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentPacket);
  ogg_stream_packetin(&stream, &codebook);
  drain(true);
  const int frames = 4410;
  float** buffer = vorbis_analysis_buffer(&dsp, frames);
  for (int i = 0; i < frames; ++i)
    buffer[0][i] = buffer[1][i] = 0.3f * std::sin(float(i) * 2.0f * 3.14159f * 440.0f / 44100.0f);
  vorbis_analysis_wrote(&dsp, frames);
  vorbis_analysis_wrote(&dsp, 0);  // the end of the stream
  ogg_packet packet;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
      ogg_stream_packetin(&stream, &packet);
      drain(false);
    }
  }
  drain(true);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

// Silent MPEG-1 Layer III frames: 128 kbit/s, 44.1 kHz, stereo, 417 bytes each.
std::string mp3Silence(int frames) {
  std::string frame(417, '\0');
  frame[0] = char(0xFF);
  frame[1] = char(0xFB);
  frame[2] = char(0x90);
  frame[3] = char(0x00);
  std::string out;
  for (int i = 0; i < frames; ++i) out += frame;
  return out;
}

}  // namespace

TEST_F(Headless, OggAndMp3SoundsLoadAndPlay) {
  writeGameFile("se/tone.ogg", oggTone());
  writeGameFile("se/quiet.mp3", mp3Silence(20));
  start();
  LbSound ogg = lbLoadSound("se/tone.ogg", 1);
  LbSound mp3 = lbLoadSound("se/quiet.mp3", 1);
  ASSERT_NE(ogg, nullptr);
  ASSERT_NE(mp3, nullptr);
  EXPECT_EQ(lbPlaySound(ogg, 0), 1);
  EXPECT_EQ(lbPlaySound(mp3, 0), 1);
  lbDestroySound(ogg);
  lbDestroySound(mp3);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 se se/tone.ogg");
  EXPECT_EQ(lines[1], "0 se se/quiet.mp3");
}

TEST_F(Headless, OggAndMp3StreamEntriesPlay) {
  writeGameFile("bgm/intro.mp3", mp3Silence(20));
  writeGameFile("bgm/body.ogg", oggTone());
  start();
  LbStream s = lbCreateStream();
  lbAddStreamList(s, "bgm/intro.mp3", 0, 0, 0);
  lbAddStreamList(s, "bgm/body.ogg", -1, 0, 0);
  EXPECT_EQ(lbPlayStream(s), 1);
  lbDestroyStream(s);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 stream bgm/intro.mp3 bgm/body.ogg (loop)");
  EXPECT_EQ(lines[1], "0 stream-stop");
}

TEST_F(Headless, ATruncatedOggIsNotASound) {
  std::string ogg = oggTone();
  writeGameFile("se/cut.ogg", ogg.substr(0, 60));
  start();
  EXPECT_EQ(lbLoadSound("se/cut.ogg", 1), nullptr);
}
