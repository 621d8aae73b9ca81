* FIM sem palavra falha.
repete i 2
  escreve i
fim repete
fim
escreve "nunca"
