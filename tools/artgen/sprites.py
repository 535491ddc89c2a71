"""The sprites of the sheet: one row per sprite, in the order of their
numbers. Each row is the sprite's name, its rectangle on the sheet, what it
shows, and for a caption the exact words drawn in it.

This table is the only place a sprite's number, name and rectangle are
written down: generate.py writes gfx/sprite_table.h (the game's enum of
sprite names and its rectangle table) from it, and generate.py --check
fails when that header differs from what this table makes."""
from collections import namedtuple

SHEET_W, SHEET_H = 832, 825

Sprite = namedtuple("Sprite", "name x y w h shows caption", defaults=(None,))

SPRITES = [
    Sprite("MenuCursor", 160, 224, 16, 32, "the menu cursor, a yellow arrow that points right"),
    Sprite("FlashDisc", 64, 224, 16, 16, "a burst of white light, a white disc in a yellow glow"),
    Sprite("ThickRing", 48, 224, 16, 16, "a white ring, thick"),
    Sprite("ThinRing", 32, 224, 16, 16, "a white ring, thin"),
    Sprite("BrokenRing", 16, 224, 16, 16, "a white ring in pieces; every effect shows it second"),
    Sprite("Spark", 0, 224, 16, 16,
           "a yellow spark: where a dart landed, and the point a menu confirmed"),
    Sprite("SelectGame", 224, 0, 160, 32, '"SELECT GAME"', "SELECT GAME"),
    Sprite("SelectPlayer", 224, 32, 160, 32, '"SELECT PLAYER"', "SELECT PLAYER"),
    Sprite("Game301", 224, 160, 64, 32, '"301" (game 0; the other games follow by number)', "301"),
    Sprite("GameCountUp", 224, 192, 128, 32, '"Count Up" (game 1)', "Count Up"),
    Sprite("GameHighScore", 224, 224, 128, 32, '"High Score" (game 2)', "High Score"),
    Sprite("GameRoundTheClock", 224, 256, 192, 32, '"Round The Clock" (game 3)',
           "Round The Clock"),
    Sprite("Player", 416, 256, 96, 32, '"PLAYER"', "PLAYER"),
] + [
    Sprite(f"BigDigit{k}", 400 + 16 * k, 384, 16, 32, f"big digit {k}") for k in range(10)
] + [
    Sprite("Ready", 416, 288, 96, 32, '"READY!"', "READY!"),
    Sprite("Board", 0, 0, 224, 224, "the dartboard, numbered 1 to 20 round its edge"),
    Sprite("Gauge", 0, 256, 224, 112,
           "the gauge: an arc from dark red at no power to hot yellow at full power"),
    Sprite("Arm1", 0, 528, 160, 144, "the throwing arm held out straight"),
    Sprite("Arm2", 160, 528, 160, 144, "the throwing arm a little bent"),
    Sprite("Arm3", 320, 528, 160, 144, "the throwing arm bent more"),
    Sprite("Arm4", 0, 672, 160, 144, "the throwing arm with the forearm lifted"),
    Sprite("Arm5", 160, 672, 160, 144,
           "the throwing arm drawn right back, the hand by the shoulder; each arm stands in a spotlight"),
    Sprite("AimPointer", 80, 224, 16, 16,
           "the aim pointer over the board, a yellow arrow that points down"),
] + [
    Sprite(f"SmallDigit{k}", 8 * k, 240, 8, 16, f"small digit {k}") for k in range(10)
] + [
    Sprite("Sound", 224, 64, 80, 32, '"SOUND"', "SOUND"),
    Sprite("On", 320, 64, 32, 32, '"ON"', "ON"),
    Sprite("Off", 352, 64, 48, 32, '"OFF"', "OFF"),
    Sprite("Ranking", 224, 96, 96, 32, '"RANKING"', "RANKING"),
    Sprite("NetRanking", 224, 128, 160, 32, '"NET RANKING"', "NET RANKING"),
    Sprite("Triple", 224, 288, 96, 32, '"Triple!!"', "Triple!!"),
    Sprite("Bust", 320, 288, 96, 32, '"Bust!!"', "Bust!!"),
    Sprite("Double", 224, 320, 96, 32, '"Double!"', "Double!"),
    Sprite("Miss", 224, 352, 96, 32, '"Miss!!"', "Miss!!"),
    Sprite("SingleBull", 224, 384, 128, 32, '"SingleBull!"', "SingleBull!"),
    Sprite("DoubleBull", 224, 416, 160, 32, '"DoubleBull!!"', "DoubleBull!!"),
    Sprite("FirstDart", 224, 448, 64, 32, '"1st" ("2nd" and "3rd" come next)',
           "1st"),
    Sprite("SecondDart", 288, 448, 64, 32, '"2nd"', "2nd"),
    Sprite("ThirdDart", 224, 480, 64, 32, '"3rd"', "3rd"),
    Sprite("Try", 288, 480, 64, 32, '"TRY"', "TRY"),
    Sprite("Up", 416, 0, 32, 32, '"UP" (the other six button names come next, in order)', "UP"),
    Sprite("Down", 448, 0, 64, 32, '"DOWN"', "DOWN"),
    Sprite("Left", 416, 32, 64, 32, '"LEFT"', "LEFT"),
    Sprite("Right", 480, 32, 64, 32, '"RIGHT"', "RIGHT"),
    Sprite("ButtonA", 416, 64, 128, 32, '"BUTTON A"', "BUTTON A"),
    Sprite("ButtonB", 416, 96, 128, 32, '"BUTTON B"', "BUTTON B"),
    Sprite("ButtonC", 416, 128, 128, 32, '"BUTTON C"', "BUTTON C"),
    Sprite("DrawGame", 416, 160, 128, 32, '"DRAW GAME"', "DRAW GAME"),
    Sprite("GameOver", 416, 192, 128, 32, '"GameOver"', "GameOver"),
    Sprite("Win", 416, 224, 64, 32, '"WIN!"', "WIN!"),
    Sprite("Lose", 480, 224, 64, 32, '"LOSE"', "LOSE"),
    Sprite("Round", 416, 320, 96, 32, '"ROUND"', "ROUND"),
    Sprite("NextTarget", 416, 352, 144, 32, '"NEXT TARGET"', "NEXT TARGET"),
    Sprite("PowerMarker", 96, 224, 16, 16, "the power marker, a yellow dot ringed in black"),
    Sprite("ProducerLogo", 0, 384, 112, 112,
           "the producer's logo at full size, for the about screen"),
    Sprite("ProducerLogoSmall", 352, 480, 112, 32, "the producer's logo, small"),
    Sprite("Success", 416, 416, 128, 32, '"Success!"', "Success!"),
    Sprite("Fail", 416, 448, 64, 32, '"Fail..."', "Fail..."),
    Sprite("PaleBoard", 576, 192, 224, 224,
           "a faded dartboard, behind each announcement and the end screen"),
    Sprite("ScoreboardFrame", 576, 0, 256, 64,
           'the scoreboard: blue heading cells "P-1" to "P-4" above a blank row'),
] + [
    Sprite(f"ScoreboardLit{p}", 576, 32 + 32 * p, 256, 32,
           f'the heading row, "P-{p}" picked out in yellow') for p in range(1, 5)
] + [
    Sprite("SmallRound", 128, 384, 48, 16, 'a small blue and white "ROUND"'),
    Sprite("SmallSlash", 128, 416, 8, 16, 'small "/"'),
    Sprite("SmallTry", 128, 448, 32, 16, 'small "TRY"'),
    Sprite("Legend", 560, 416, 128, 48,
           'the button key: green "BUTTON A" and "BUTTON B" plates, marked "OK" and "CANCEL"'),
    Sprite("ProductLogo", 560, 480, 176, 64,
           "the game's logo over its version line, for the about screen"),
    Sprite("Legal", 560, 544, 192, 32, "one line of legal text, for the about screen"),
    Sprite("Credits", 560, 576, 208, 48,
           "two lines of contact details, for the about screen"),
    Sprite("PressTheButton", 560, 624, 160, 64, '"Press The Button" on an orange plate'),
]
assert len(SPRITES) == 89
assert len({s.name for s in SPRITES}) == len(SPRITES)

# What the drawing code reads: the rectangle of every sprite by number, and
# the exact words of every caption sprite.
RECTS = [(s.x, s.y, s.w, s.h) for s in SPRITES]
CAPTIONS = {n: s.caption for n, s in enumerate(SPRITES) if s.caption is not None}

NUMBER = {s.name: n for n, s in enumerate(SPRITES)}  # sprite numbers by name
