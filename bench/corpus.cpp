#include "corpus.h"

#include <iconv.h>

#include <random>
#include <stdexcept>

#include "encoding/utf8.h"

namespace sarnlink::bench {
namespace {

// Characters every one of the four encodings carries the same way.
const std::u16string kKanji =
    u"日本語東京京都大阪旅行料理読書写真音楽映画天気今日明日昨年春夏秋冬朝昼夜山川海空雨雪"
    u"花鳥風月友人家族仕事休日散歩電車駅前公園図書館学校先生時間場所気持思出楽嬉新古高安";
const std::u16string kKana =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン";
const std::u16string kPunctuation = u"、。「」（）！？・ー";
const std::u16string kAscii = u"abcdefghijklmnopqrstuvwxyz0123456789 -";

std::u16string Sentence(std::mt19937& random) {
  std::u16string s;
  const int length = 20 + static_cast<int>(random() % 40);
  for (int k = 0; k < length; ++k) {
    const unsigned pick = random() % 100;
    const std::u16string& pool = pick < 35   ? kKanji
                                 : pick < 80 ? kKana
                                 : pick < 88 ? kPunctuation
                                             : kAscii;
    s += pool[random() % pool.size()];
  }
  return s + u"。";
}

}  // namespace

std::u16string MakeCorpus(std::size_t bytes) {
  std::mt19937 random(20061225);
  std::u16string text;
  int entry = 0;
  while (ToUtf8(text).size() < bytes) {
    std::u16string block;
    for (int k = 0; k < 200; ++k, ++entry) {
      block += u"AUTHOR: 山田花子\r\nTITLE: " + Sentence(random) + u"\r\nSTATUS: Publish\r\n" +
               u"CATEGORY: 旅行\r\nDATE: 07/14/2004 06:05:09 PM\r\n-----\r\nBODY:\r\n";
      for (int line = 0; line < 6; ++line) {
        block += Sentence(random) + u"\r\n";
      }
      block += u"-----\r\n--------\r\n";
    }
    text += block;
  }
  return text;
}

Bytes ConvertWithIconv(const std::u16string& text, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv has no ") + encoding);
  }
  Bytes out(text.size() * 8 + 16);
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  std::size_t in_left = text.size() * 2;
  char* o = reinterpret_cast<char*>(out.data());
  std::size_t out_left = out.size();
  if (iconv(cd, &in, &in_left, &o, &out_left) == static_cast<std::size_t>(-1) ||
      iconv(cd, nullptr, nullptr, &o, &out_left) == static_cast<std::size_t>(-1)) {
    iconv_close(cd);
    throw std::runtime_error(std::string("iconv cannot write the corpus in ") + encoding);
  }
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace sarnlink::bench
