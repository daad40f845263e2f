"""The rules the end-to-end test predicts the screen with: where the cells
are on the board control, which cells neighbour each other, how far apart
two cells are, and what a copy or a jump does to the board. Written from
the rules, independently of the program's code, so that the two can
disagree."""

RED = "R"
BLUE = "B"

RADIUS = 20


def Other(side):
    return BLUE if side == RED else RED


def CellCentre(column, row):
    """Centre of a cell in the board control's pixels at radius 20: odd
    columns stand half a cell higher than even ones."""
    x = 20 + (column - 1) * 30
    y = 17 * (2 * row - 1) if column % 2 else 34 * row
    return x, y


def HalfRows(column, row):
    # The row counted in half-cell steps, so that both parities share one
    # vertical axis.
    return 2 * row - 1 if column % 2 else 2 * row


def Distance(a, b):
    columns = abs(a[0] - b[0])
    halfRows = abs(HalfRows(*a) - HalfRows(*b))
    return columns + max(0, (halfRows - columns) // 2)


NEIGHBOURS_ODD = ((-1, -1), (0, -1), (1, -1), (-1, 0), (0, 1), (1, 0))
NEIGHBOURS_EVEN = ((-1, 0), (0, -1), (1, 0), (-1, 1), (0, 1), (1, 1))


class Board:
    def __init__(self, width=10, height=10):
        self.width = width
        self.height = height
        self.cells = {cell: None for cell in self.Cells()}
        self.cells[(1, 1)] = RED
        self.cells[(width, height)] = BLUE

    def Cells(self):
        # Column by column, as the game walks the board.
        return [(column, row) for column in range(1, self.width + 1) for row in range(1, self.height + 1)]

    def Copy(self):
        board = Board(self.width, self.height)
        board.cells = dict(self.cells)
        return board

    def OnBoard(self, cell):
        return 1 <= cell[0] <= self.width and 1 <= cell[1] <= self.height

    def Neighbours(self, cell):
        offsets = NEIGHBOURS_ODD if cell[0] % 2 else NEIGHBOURS_EVEN
        around = [(cell[0] + dx, cell[1] + dy) for dx, dy in offsets]
        return [neighbour for neighbour in around if self.OnBoard(neighbour)]

    def Count(self, side):
        return sum(1 for value in self.cells.values() if value == side)

    def Pieces(self, side):
        return [cell for cell in self.Cells() if self.cells[cell] == side]

    def Moves(self, side):
        empty = [cell for cell in self.Cells() if self.cells[cell] is None]
        return [(origin, target) for origin in self.Pieces(side) for target in empty
                if Distance(origin, target) in (1, 2)]

    def Play(self, side, origin, target):
        """Makes a move and returns the captured cells."""
        if self.cells[origin] != side or self.cells[target] is not None:
            raise ValueError("illegal move %s -> %s for %s" % (origin, target, side))
        distance = Distance(origin, target)
        if distance not in (1, 2):
            raise ValueError("%s -> %s is %d cells" % (origin, target, distance))
        self.cells[target] = side
        if distance == 2:
            self.cells[origin] = None
        captured = [cell for cell in self.Neighbours(target) if self.cells[cell] == Other(side)]
        for cell in captured:
            self.cells[cell] = side
        return captured

    def ChooseMove(self, side):
        """A plain, deterministic player: take as many pieces as possible,
        otherwise close in on the opponent, copies before jumps; never a
        move after which the opponent is stuck, since the game would then
        fill the board and end."""
        best = None
        for origin, target in self.Moves(side):
            after = self.Copy()
            captured = after.Play(side, origin, target)
            if not after.Moves(Other(side)):
                continue
            opponents = after.Pieces(Other(side))
            closeness = min(Distance(target, cell) for cell in opponents)
            score = (len(captured) * 10 + (2 if Distance(origin, target) == 1 else 0) - closeness,
                     -origin[0], -origin[1], -target[0], -target[1])
            if best is None or score > best[0]:
                best = (score, origin, target)
        if best is None:
            raise ValueError("%s has no move that keeps the game going" % side)
        return best[1], best[2]
