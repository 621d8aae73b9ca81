* Quando o contador deixa de ser número, o relatório cita a linha do REPETE.
escreve "antes"
repete i 3
  escreve "volta " i
  seja i "x"
fim repete
escreve "nunca"
