#pragma once

#include "core/game.h"

namespace tolvane {

// The texts the window shows for a run's steps and failures. tolvane-cli prints the same texts,
// so a user meets one wording wherever the tool runs.
inline constexpr char16_t kStartText[] = u"NUMBERS3 予想開始します";
inline constexpr char16_t kStartText4[] = u"NUMBERS4 予想開始します";
inline constexpr char16_t kErrorCaption[] = u"エラー";
inline constexpr char16_t kEmptyPathText[] = u"ファイルパスが入力されていません。";
inline constexpr char16_t kMissingPathText[] = u"有効なファイルパスを入力してください。";
inline constexpr char16_t kErrorPrefix[] = u"エラーが発生しました: ";
inline constexpr char16_t kLoadFailedText[] = u"ナンバーズ3データの読み込みに失敗しました。";
inline constexpr char16_t kLoadFailedText4[] = u"ナンバーズ4データの読み込みに失敗しました。";
inline constexpr char16_t kUnknownErrorText[] = u"不明なエラーが発生しました。";
// The analysis takes the draws in file order; a newest-first file still gives a prediction, but
// not the one its draws in time order would.
inline constexpr char16_t kOrderWarningText[] =
    u"履歴ファイルの回号が古い順に並んでいません。データはファイルの行の順に解析されます。";

// The game's own start and failed-load texts.
inline constexpr const char16_t* StartText(Game game) {
  return game == Game::kNumbers4 ? kStartText4 : kStartText;
}
inline constexpr const char16_t* LoadFailedText(Game game) {
  return game == Game::kNumbers4 ? kLoadFailedText4 : kLoadFailedText;
}

}  // namespace tolvane
