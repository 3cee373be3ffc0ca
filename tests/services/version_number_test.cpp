// Leading-number reading and the update decision of the version check.
#include "services/version_number.h"

#include <gtest/gtest.h>

#include <clocale>

namespace services {
namespace {

TEST(ServicesLeadingNumber, ReadsTheNumberATextStartsWith) {
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1.02"), 1.02);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"  \t1.5abc"), 1.5);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"-2.25"), -2.25);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"+3"), 3.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(L".5"), 0.5);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"7."), 7.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1,5"), 1.0);
}

TEST(ServicesLeadingNumber, ExponentOnlyWithDigits) {
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"2.5E-1x"), 0.25);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"4e"), 4.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"4e+"), 4.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"4eX"), 4.0);
}

TEST(ServicesLeadingNumber, NoNumberReadsZero) {
  EXPECT_EQ(LeadingNumber(L""), 0.0);
  EXPECT_EQ(LeadingNumber(L"   "), 0.0);
  EXPECT_EQ(LeadingNumber(L"<html>404</html>"), 0.0);
  EXPECT_EQ(LeadingNumber(L"-"), 0.0);
  EXPECT_EQ(LeadingNumber(L"."), 0.0);
  EXPECT_EQ(LeadingNumber(L"e5"), 0.0);
  EXPECT_EQ(LeadingNumber(L"x1"), 0.0);
}

TEST(ServicesLeadingNumber, OutOfRangeValues) {
  EXPECT_GT(LeadingNumber(L"1e999"), 1e300);
  EXPECT_LT(LeadingNumber(L"-1e999"), -1e300);
  EXPECT_EQ(LeadingNumber(L"1e-999"), 0.0);
}

TEST(ServicesLeadingNumber, PointIsTheDecimalSeparatorInAnyLocale) {
  // A locale with a decimal comma must not change the reading.
  const char* saved = std::setlocale(LC_ALL, nullptr);
  std::string restore = saved ? saved : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_ALL, "German");
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1.25"), 1.25);
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1,25"), 1.0);
  std::setlocale(LC_ALL, restore.c_str());
}

TEST(ServicesVersionFile, OffersOnlyAStrictlyNewerVersion) {
  EXPECT_TRUE(ReadVersionFile(L"1.1,http://x/get", L"1.02").offer);
  EXPECT_TRUE(ReadVersionFile(L"1.10,http://x/get", L"1.02").offer);
  EXPECT_FALSE(ReadVersionFile(L"1.02,http://x/get", L"1.02").offer);
  EXPECT_FALSE(ReadVersionFile(L"1.015,http://x/get", L"1.02").offer);
  EXPECT_FALSE(ReadVersionFile(L"<html>error</html>", L"1.02").offer);
  EXPECT_FALSE(ReadVersionFile(L"", L"1.02").offer);
}

TEST(ServicesVersionFile, FieldsOfANewerVersion) {
  UpdateOffer o = ReadVersionFile(L"1.5,http://127.0.0.1/get,must-download,extra", L"1.02");
  EXPECT_TRUE(o.offer);
  EXPECT_EQ(o.address, L"http://127.0.0.1/get");
  EXPECT_TRUE(o.canOpen);
  EXPECT_TRUE(o.mustDownload);
  // Fields are not trimmed: the marker must stand alone.
  EXPECT_FALSE(ReadVersionFile(L"1.5,http://x,must-download\r\n", L"1.02").mustDownload);
  EXPECT_FALSE(ReadVersionFile(L"1.5,http://x,Must-Download", L"1.02").mustDownload);
  EXPECT_FALSE(ReadVersionFile(L"1.5,http://x, must-download", L"1.02").mustDownload);
}

TEST(ServicesVersionFile, ShortFilesAreHarmless) {
  // One field: no page to offer, so no offer at all.
  UpdateOffer one = ReadVersionFile(L"9.9", L"1.02");
  EXPECT_FALSE(one.offer);
  EXPECT_FALSE(one.mustDownload);
  // Two fields: an offer, never a forced end.
  UpdateOffer two = ReadVersionFile(L"9.9,http://x/get", L"1.02");
  EXPECT_TRUE(two.offer);
  EXPECT_FALSE(two.mustDownload);
}

TEST(ServicesVersionFile, OnlyWebAddressesMayBeOpened) {
  EXPECT_TRUE(ReadVersionFile(L"2,https://x/get", L"1.02").canOpen);
  EXPECT_TRUE(ReadVersionFile(L"2,HTTP://x/get", L"1.02").canOpen);
  EXPECT_FALSE(ReadVersionFile(L"2,C:\\Windows\\system32\\calc.exe", L"1.02").canOpen);
  EXPECT_FALSE(ReadVersionFile(L"2,file:///C:/x.exe", L"1.02").canOpen);
  EXPECT_FALSE(ReadVersionFile(L"2, http://x", L"1.02").canOpen);
  EXPECT_FALSE(ReadVersionFile(L"2,http://", L"1.02").canOpen);
  EXPECT_FALSE(ReadVersionFile(L"2,", L"1.02").canOpen);
}

}  // namespace
}  // namespace services
