// Stands in for the MP3 encoder in tests: appends every argument it gets, its own name included,
// one a line, to "args" in the folder of the output file, and writes one silent MPEG audio frame
// to the output.
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string out = argv[2];
    std::ofstream args(out.substr(0, out.rfind('/') + 1) + "args", std::ios::app);
    for (int i = 0; i < argc; ++i) args << argv[i] << '\n';
    std::string frame(417, '\0');
    frame.replace(0, 4, "\xFF\xFB\x90\x64");
    std::ofstream(out, std::ios::binary) << frame;
    return 0;
}
