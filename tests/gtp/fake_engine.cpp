// A GTP engine for the partner program's tests and benchmark. It answers at
// once: `play` marks the point (an occupied point is an illegal move),
// `genmove` takes the next point of its list (--moves A19,T19,...; by default
// the free points row by row from the top left) and passes when the list is
// done. Captures are not played out.
//
//   --moves V,V,...    the points genmove gives, in order
//   --name TEXT        its answer to `name` (default Fake)
//   --tag TEXT         ignored: marks the process, so that a test can look for it
//   --at N:WHAT        at the N-th genmove: "exit" (ends with status 3 without
//                      answering), "close" (closes its input and output and
//                      stays running), "resign", or "offboard" (answers Z25)
//   --stall COMMAND    answers COMMAND with a reply that never ends (no empty
//                      line) and reads nothing more
//   --pid-file PATH    writes its process id to PATH at the start
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* Columns = "ABCDEFGHJKLMNOPQRST";

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> moves;
  std::string name = "Fake";
  bool ownList = false;
  int atMove = 0;
  std::string what;
  std::string stall;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--moves") {
      ownList = true;
      std::stringstream list(value);
      for (std::string v; std::getline(list, v, ',');) moves.push_back(Upper(v));
    } else if (option == "--name") {
      name = value;
    } else if (option == "--stall") {
      stall = value;
    } else if (option == "--pid-file") {
      std::ofstream(value) << getpid() << "\n";
    } else if (option == "--at") {
      atMove = std::atoi(value.c_str());
      what = value.substr(value.find(':') + 1);
    }
  }
  if (!ownList) {
    for (int row = 19; row >= 1; --row)
      for (int col = 0; col < 19; ++col) moves.push_back(Columns[col] + std::to_string(row));
  }

  std::set<std::string> taken;
  std::size_t next = 0;
  int genmoves = 0;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::stringstream words(line);
    std::string command, colour, vertex;
    words >> command >> colour >> vertex;
    std::string answer = "= ";
    if (command == stall) {
      std::cout << "= " << std::endl;
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    if (command == "name") {
      answer += name;
    } else if (command == "version") {
      answer += "1";
    } else if (command == "play") {
      vertex = Upper(vertex);
      if (vertex != "PASS" && !taken.insert(vertex).second) answer = "? illegal move";
    } else if (command == "genmove") {
      if (++genmoves == atMove) {
        if (what == "exit") return 3;
        if (what == "close") {
          std::fclose(stdin);
          std::fclose(stdout);
          for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
        }
        if (what == "resign") answer += "resign";
        if (what == "offboard") answer += "Z25";
      }
      if (answer == "= ") {
        while (next < moves.size() && taken.count(moves[next])) ++next;
        if (next < moves.size()) {
          answer += moves[next];
          taken.insert(moves[next]);
        } else {
          answer += "pass";
        }
      }
    } else if (command == "final_score") {
      answer = "? cannot score";
    } else if (command == "quit") {
      std::cout << "= \n\n" << std::flush;
      return 0;
    }
    std::cout << answer << "\n\n" << std::flush;
  }
  return 0;
}
