# The recorded runs of the headless renderer: every style at four frame sizes,
# each with two seeds and ball settings. Shared by the tests and the recorder.
set(QUORIX_GOLDEN_STYLES 0 1 2 3)
set(QUORIX_GOLDEN_SIZES 152x112 1024x768 1366x767 1920x1080)
# seed:balls:ball-size
set(QUORIX_GOLDEN_RUNS 4:100:60 1234567:52:38)
set(QUORIX_GOLDEN_FRAMES 2400)
set(QUORIX_GOLDEN_EVERY 100)
