// Every code page of the tables. Written by generate.sh: do not edit.
#include "platform/codepage_tables/codepage_table.h"

namespace cptables {

extern const Source kCp874;
extern const Source kCp932;
extern const Source kCp936;
extern const Source kCp949;
extern const Source kCp950;
extern const Source kCp1250;
extern const Source kCp1251;
extern const Source kCp1252;
extern const Source kCp1253;
extern const Source kCp1254;
extern const Source kCp1255;
extern const Source kCp1256;
extern const Source kCp1257;
extern const Source kCp1258;
extern const Source kCp437;
extern const Source kCp850;
extern const Source kCp10000;
extern const Source kCp10001;
extern const Source kCp10002;
extern const Source kCp10003;
extern const Source kCp10004;
extern const Source kCp10005;
extern const Source kCp10006;
extern const Source kCp10007;
extern const Source kCp10008;
extern const Source kCp10021;
extern const Source kCp10029;
extern const Source kCp10079;
extern const Source kCp10081;

const Source* const kSources[] = {
    &kCp874,   &kCp932,   &kCp936,   &kCp949,   &kCp950,   &kCp1250,  &kCp1251,  &kCp1252,  &kCp1253,  &kCp1254,
    &kCp1255,  &kCp1256,  &kCp1257,  &kCp1258,  &kCp437,   &kCp850,   &kCp10000, &kCp10001, &kCp10002, &kCp10003,
    &kCp10004, &kCp10005, &kCp10006, &kCp10007, &kCp10008, &kCp10021, &kCp10029, &kCp10079, &kCp10081,
};
const std::size_t kSourceCount = sizeof kSources / sizeof kSources[0];

}  // namespace cptables
