// End-to-end runs of the scripts under tests/scripts/ through tobelyn-replay:
// menus and screens, whole matches of every game with one and four players,
// each checked against its dump lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "replay_runner.h"

namespace {

struct Script {
  const char *file;
  const char *checks = "";          // what the script walks through, where the name says too little
  std::vector<const char *> dumps;  // per dump line: "name=value ..." to check
};

// A match over (step 12), its end screen shown (14), the title installed and
// running.
#define MATCH_ENDING \
  "scene=MatchScene sceneStep=14", "scene=TitleScene sceneStep=0", "scene=TitleScene"

// All share one settings folder: the option scripts come last, the second
// reading back what the first changed.
const Script scripts[] = {
    {.file = "screens_setup_chain.txt",
     .checks = "Title to a match, back with B one screen at a time, forward again by a tap",
     .dumps = {"scene=TitleScene sceneStep=1 menuChoice=-1",
               "scene=GameSelectScene sceneStep=1 sounds=[1]",
               "scene=PlayerSelectScene gameMode=3 sounds=[1]",
               "scene=ReadyScene playerCount=4 menuCursor=0",
               "scene=PlayerSelectScene menuCursor=0 sounds=[2] playerCount=4",
               "scene=GameSelectScene sounds=[2] gameMode=3",
               "scene=TitleScene sceneStep=1 sounds=[2]",
               "scene=MatchScene sceneStep=0 gameMode=0 playerCount=1 sounds=[1,1,1,1]"}},
    {.file = "screens_about.txt",
     .dumps = {"scene=AboutScene sceneStep=1", "scene=AboutScene sceneStep=2",
               "scene=AboutScene sceneStep=2", "scene=TitleScene sceneStep=1 sounds=[]"}},
    {.file = "screens_quit.txt",
     .dumps = {"sceneStep=5 menuChoice=3 framesEnabled=1 sounds=[1]",
               "sceneStep=5 framesEnabled=1 effects=1", "framesEnabled=0 effects=0"}},
    {.file = "match_301_1p.txt",
     .checks = "A bust on 1 left keeps the points and ends the turn",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[301,301,301,301]",
               "playerScores=[121,301,301,301] roundIndex=1 sceneStep=11",
               "playerScores=[1,301,301,301] roundIndex=2 dartIndex=0",
               "playerScores=[0,301,301,301] winner=0 dartIndex=1 sceneStep=12", MATCH_ENDING}},
    {.file = "match_301_4p.txt",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[301,301,301,301]",
               "playerScores=[301,301,121,301] roundIndex=1 currentPlayer=0",
               "playerScores=[301,301,0,301] winner=2 currentPlayer=2 dartIndex=3 sceneStep=12",
               MATCH_ENDING}},
    {.file = "match_countup_1p.txt",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[0,0,0,0]",
               "playerScores=[110,0,0,0] sceneStep=11", "playerScores=[199,0,0,0] sceneStep=11",
               "playerScores=[200,0,0,0] winner=0 roundIndex=2 sceneStep=12", MATCH_ENDING}},
    {.file = "match_countup_4p.txt",
     .checks = "Player 2 wins in round 2 before players 3 and 4 throw",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[0,0,0,0]",
               "playerScores=[0,180,0,0] currentPlayer=0",
               "playerScores=[0,240,0,0] winner=1 currentPlayer=1 sceneStep=12", MATCH_ENDING}},
    {.file = "match_highscore_1p.txt",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[0,0,0,0]",
               "playerScores=[1080,0,0,0] roundIndex=6",
               "playerScores=[1260,0,0,0] winner=99 roundIndex=7 sceneStep=12", MATCH_ENDING}},
    {.file = "match_highscore_4p.txt",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[0,0,0,0]",
               "playerScores=[0,0,0,115] roundIndex=1",
               "playerScores=[0,0,0,115] winner=99 roundIndex=7 sceneStep=12", MATCH_ENDING}},
    {.file = "match_clock_1p.txt",
     .checks = "1, 2, a 5 while 3 is next, then the bull for 3",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[1,1,1,1]",
               "playerScores=[4,1,1,1] roundIndex=1 dartIndex=1",
               "playerScores=[21,1,1,1] winner=0 dartIndex=3 sceneStep=12", MATCH_ENDING}},
    {.file = "match_clock_4p.txt",
     .dumps = {"scene=MatchScene sceneStep=1 playerScores=[1,1,1,1]",
               "playerScores=[4,1,1,1] roundIndex=1",
               "playerScores=[4,1,1,1] winner=99 roundIndex=10 sceneStep=12", MATCH_ENDING}},
    {.file = "screens_option_first_run.txt",
     .dumps = {"scene=OptionScene sceneStep=2 sound=1", "sceneStep=2 sound=0 ButtonA=49 KeyUp=87",
               "scene=TitleScene sceneStep=1 sounds=[]"}},
    {.file = "screens_option_second_run.txt",
     .dumps = {"sound=0 ButtonA=49 KeyUp=87 ButtonB=27", "scene=GameSelectScene sounds=[]"}},
};

TEST(Scripts, EndInTheExpectedStates) {
  const std::string dir = ::testing::TempDir() + "tobelyn_scripts_" + std::to_string(getpid());
  ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/reg'").c_str()), 0);
  for (const Script &s : scripts) {
    SCOPED_TRACE(std::string(s.file) + " " + s.checks);
    const std::string path = TOBELYN_SOURCE_DIR "/tests/scripts/" + std::string(s.file);
    expectDumps(runReplay(dir, "--registry reg '" + path + "'"), s.dumps);
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
