// What every message the recipe windows show must be: Chinese text a cook can read, naming the
// file or field concerned, without statements or doubled path separators.
#pragma once

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

namespace kelpo::testing_messages {

// `mustName` is a piece of text (a file path, a field, a recipe) the message has to contain.
inline void expectReadable(const QString& text, const QString& mustName) {
  SCOPED_TRACE(text.toStdString());
  ASSERT_FALSE(text.isEmpty());
  // It opens in Chinese; the platform's own English words may only follow in parentheses.
  EXPECT_GE(text.front().unicode(), 0x2E80);
  const QString outside = QString(text).remove(QRegularExpression(QStringLiteral("（[^（）]*）")));
  EXPECT_FALSE(outside.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}[ :]"))))
      << "English words outside the parentheses";
  for (const char* sql : {"select ", "insert ", "SELECT ", "INSERT ", " from ", " where "})
    EXPECT_FALSE(text.contains(QLatin1String(sql))) << "statement text: " << sql;
  EXPECT_FALSE(text.contains(QStringLiteral("//")));
  EXPECT_FALSE(text.contains(QStringLiteral("\\\\")));
  EXPECT_TRUE(text.contains(mustName)) << "does not name " << mustName.toStdString();
}

}  // namespace kelpo::testing_messages
